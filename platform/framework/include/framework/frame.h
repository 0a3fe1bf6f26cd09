// CFrameWnd: the main window of a single-document program, over QMainWindow.
// It builds its menu and accelerators from the resource tables of its id,
// holds the view in its client area and routes every command: to the view,
// the document, itself and the application, in that order.
#pragma once

#include "framework/cmd_target.h"
#include "framework/wnd.h"

#include <QPointer>
#include <map>
#include <memory>
#include <vector>

class CControlBar;
class CDocument;
class CView;
class QAction;
class QMainWindow;
class QMenu;
template <class Base>
struct CRuntimeClass;

// What the template hands the frame so that it can make its view.
struct CCreateContext {
    const CRuntimeClass<CView>* m_pNewViewClass = nullptr;
    CDocument* m_pCurrentDoc = nullptr;
};

struct CREATESTRUCT {
    CCreateContext* lpCreateParams = nullptr;
    int cx = 0, cy = 0;  // initial size in pixels; 0 leaves it to the frame
};
using LPCREATESTRUCT = CREATESTRUCT*;

// Docking sides.
inline constexpr DWORD CBRS_ALIGN_LEFT = 0x1000;
inline constexpr DWORD CBRS_ALIGN_TOP = 0x2000;
inline constexpr DWORD CBRS_ALIGN_RIGHT = 0x4000;
inline constexpr DWORD CBRS_ALIGN_BOTTOM = 0x8000;
inline constexpr DWORD CBRS_ALIGN_ANY = 0xF000;

class CFrameWnd : public CWnd, public CCmdTarget {
public:
    using RuntimeBase = CFrameWnd;

    CFrameWnd();
    ~CFrameWnd() override;

    // Creates the window with the menu, accelerators, icon and title of
    // resource nIDResource, then OnCreate (which makes the view from the
    // context). FALSE when PreCreateWindow or OnCreate fail; the window is
    // gone then.
    BOOL LoadFrame(UINT nIDResource, CCreateContext* pContext);

    QMainWindow* GetMainWindow() const;
    CView* GetActiveView() const { return m_pView.get(); }
    CDocument* GetActiveDocument() const;

    void ShowWindow(int nCmdShow);
    void UpdateWindow();

    // Sends the view its initial update for a document started afresh and
    // re-titles the window.
    void InitialUpdateFrame(CDocument* pDoc);
    // Caption: "<document title> - <window title>".
    void OnUpdateFrameTitle();
    const CString& GetTitle() const { return m_strTitle; }

    // Runs command nID on the first target of the route that maps it.
    bool OnCmdMsg(UINT nID);
    bool IsCommandEnabled(UINT nID) const;
    // Enables the menu and toolbar entries of the commands that have a
    // handler and updates the check marks.
    void UpdateCommandUI();
    // Shows the application's recent-file list in the File menu.
    void UpdateRecentFileMenu();

    // The action behind a command's menu item, toolbar button and prompt;
    // made on first use with the command's prompt and tooltip.
    QAction* CommandAction(UINT nID);

    // Toolbars and the status bar attach themselves here.
    void EnableDocking(DWORD dwDockStyle);
    void DockControlBar(CControlBar* pBar, UINT nDockBarID = 0);
    void AddControlBar(CControlBar* pBar);

    void OnViewToolbar();
    void OnViewStatusBar();

protected:
    virtual BOOL PreCreateWindow(CREATESTRUCT& cs);
    // Makes the view; -1 fails the creation.
    virtual int OnCreate(LPCREATESTRUCT lpCreateStruct);
    virtual BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext);

private:
    void BuildMenu(UINT nIDResource);
    void BuildAccelerators(UINT nIDResource);
    CControlBar* FindControlBar(UINT nID) const;

    CString m_strTitle;
    std::unique_ptr<CView> m_pView;
    QPointer<QMenu> m_recentFileMenu;  // the File menu
    QPointer<QAction> m_recentFilePlaceholder;
    std::vector<QPointer<QAction>> m_recentFileActions;
    std::map<UINT, QPointer<QAction>> m_actions;
    std::vector<CControlBar*> m_controlBars;
    DWORD m_dwDockStyle = 0;
};

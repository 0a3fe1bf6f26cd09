// Control bars of the frame: the toolbar (QToolBar, movable, floatable and
// dockable on any side) and the status bar (QStatusBar with the message pane
// and the keyboard-lock indicators).
#pragma once

#include "framework/afx_types.h"

#include <QPointer>
#include <vector>

class CFrameWnd;
class QLabel;
class QStatusBar;
class QToolBar;
class QWidget;

inline constexpr DWORD WS_CHILD = 0x40000000;
inline constexpr DWORD WS_VISIBLE = 0x10000000;
inline constexpr DWORD CBRS_BORDER_TOP = 0x0200;
inline constexpr DWORD CBRS_BORDER_BOTTOM = 0x0800;
inline constexpr DWORD CBRS_TOP = 0x2000 | CBRS_BORDER_BOTTOM;
inline constexpr DWORD CBRS_BOTTOM = 0x8000 | CBRS_BORDER_TOP;
// The tooltip, fly-by and dynamic-size styles are kept in the bar's style and
// need nothing done: Qt's tool buttons always show their tooltip and put
// their prompt in the status bar while hovered, and a floating Qt toolbar
// keeps its one row, which is all a dynamically sized bar of one row shows.
inline constexpr DWORD CBRS_TOOLTIPS = 0x10;
inline constexpr DWORD CBRS_FLYBY = 0x20;
inline constexpr DWORD CBRS_SIZE_DYNAMIC = 0x04;

class CControlBar {
public:
    CControlBar() = default;
    CControlBar(const CControlBar&) = delete;
    CControlBar& operator=(const CControlBar&) = delete;
    // The bar's widget goes with it.
    virtual ~CControlBar();

    UINT GetDlgCtrlID() const { return m_nID; }
    DWORD GetBarStyle() const { return m_dwStyle; }
    void SetBarStyle(DWORD dwStyle) { m_dwStyle = dwStyle; }
    void EnableDocking(DWORD dwDockStyle);
    DWORD GetDockingStyle() const { return m_dwDockStyle; }

    QWidget* GetWidget() const { return m_widget.data(); }
    bool IsVisible() const;
    void SetVisible(bool visible);

protected:
    BOOL CreateBar(CFrameWnd* pParentWnd, QWidget* widget, DWORD dwStyle, UINT nID);
    CFrameWnd* m_pFrame = nullptr;

private:
    QPointer<QWidget> m_widget;
    UINT m_nID = 0;
    DWORD m_dwStyle = 0;
    DWORD m_dwDockStyle = 0;
};

class CToolBar : public CControlBar {
public:
    BOOL Create(CFrameWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_TOP, UINT nID = 0xE800);
    // Buttons, separators and images of toolbar resource nIDResource; FALSE
    // when the resource or its image is missing.
    BOOL LoadToolBar(UINT nIDResource);
    QToolBar* GetToolBar() const;
};

class CStatusBar : public CControlBar {
public:
    CStatusBar();
    ~CStatusBar() override;

    BOOL Create(CFrameWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, UINT nID = 0xE801);
    // Panes in order: ID_SEPARATOR is the message pane, any other id an
    // indicator whose text is the string of that id.
    BOOL SetIndicators(const UINT* lpIDArray, int nIDCount);
    QStatusBar* GetStatusBar() const;
    // Lights the indicators that match the keyboard's lock state.
    void UpdateIndicators();

private:
    struct Pane {
        UINT id;
        QPointer<QLabel> label;
    };
    std::vector<Pane> m_panes;
    QPointer<QObject> m_lockWatcher;
};

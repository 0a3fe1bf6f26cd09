// CWnd: a window built from a dialog template, with its controls found by id,
// data exchange and a message map of button clicks.
//
// Lifecycle: the framework creates the window (CDialog::Create/DoModal, or
// the property sheet when a page is first shown) and tears it down in
// DestroyWindow, which calls OnDestroy and then PostNcDestroy exactly once.
#pragma once

#include "framework/afx_types.h"
#include "runtime/cstring.h"

#include <QPointer>
#include <QWidget>
#include <functional>
#include <map>

class CDataExchange;
struct DialogTemplate;

class CWnd {
public:
    CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    virtual ~CWnd();

    // The window, or null before it is created and after it is destroyed.
    QWidget* GetSafeHwnd() const { return m_hWnd.data(); }
    virtual CWnd* GetParent() const { return m_pParentWnd; }

    // The control with that id (its objectName is the id), or null.
    QWidget* GetDlgItem(int nID) const;
    CString GetDlgItemText(int nID) const;
    void SetDlgItemText(int nID, const CString& text);

    // TRUE: controls to fields (stops at the first field that fails, after a
    // message); FALSE: fields to controls. Returns FALSE on a failed read.
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    // Destroys the window: OnDestroy, the widgets, then PostNcDestroy. Does
    // nothing when there is no window.
    void DestroyWindow();

    // Runs the handler that the message map gives for a click on control
    // nID, as a click would. Returns false when the map has no entry.
    virtual bool OnCommand(int nID);

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual void OnDestroy() {}
    virtual void PostNcDestroy() {}

    // Message map entry: a click on control nID runs handler.
    template <class T>
    void OnButtonClicked(int nID, void (T::*handler)())
    {
        T* self = static_cast<T*>(this);
        m_clickMap[nID] = [self, handler] { (self->*handler)(); };
    }

    // For the framework classes: take ownership of a fresh window and fill it
    // with the template's controls, wiring every push button to OnCommand.
    void AttachWindow(QWidget* window);
    void CreateControls(const DialogTemplate& dialogTemplate);

    // The modal state dialogs and property sheets share; the window of
    // either is a QDialog. StartModalState when the window is made;
    // RunModalLoop shows it modally unless it already ended (EndDialog during
    // OnInitDialog), destroys it and returns the result RecordModalEnd gave,
    // IDCANCEL when none did.
    void StartModalState();
    void RecordModalEnd(int nResult);
    bool ModalEnded() const { return m_bEnded; }
    INT_PTR RunModalLoop();

    CWnd* m_pParentWnd = nullptr;

private:
    QPointer<QWidget> m_hWnd;
    int m_nModalResult = IDCANCEL;
    bool m_bEnded = false;
    bool m_bDestroying = false;
    std::map<int, std::function<void()>> m_clickMap;
};

// CDialog: a dialog on a template of the running program's resources.
#pragma once

#include "framework/wnd.h"

class CDialog : public CWnd {
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    // Creates the window, runs OnInitDialog, shows it modally and destroys it
    // when it ends. Returns IDOK, IDCANCEL or the value given to EndDialog.
    virtual INT_PTR DoModal();

    // Creates the window and runs OnInitDialog without showing it or waiting:
    // lets tests drive handlers directly. End it with DestroyWindow.
    BOOL Create();

    void EndDialog(int nResult);
    UINT GetTemplateId() const { return m_nIDTemplate; }

    virtual BOOL OnInitDialog();  // puts the fields into the controls
    virtual void OnOK();          // reads the controls back and ends with IDOK
    virtual void OnCancel();      // ends with IDCANCEL

    bool OnCommand(int nID) override;  // 1 is OnOK, 2 is OnCancel

private:
    UINT m_nIDTemplate;
};

// The About box: the program's icon, name and version on dialog 100.
#pragma once

#include "framework/dialog.h"

inline constexpr UINT IDD_ABOUTBOX = 100;

class CAboutDlg : public CDialog {
public:
    CAboutDlg();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};

#pragma once

#include "platform/dialog.h"

class CTestMD5 : public CDialog {
public:
    explicit CTestMD5(CWnd* pParent);
};

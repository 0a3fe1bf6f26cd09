#pragma once

#include "platform/dialog.h"

class CTestSHA1 : public CDialog {
public:
    explicit CTestSHA1(CWnd* pParent);
};

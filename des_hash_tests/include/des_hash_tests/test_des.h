#pragma once

#include "platform/dialog.h"

class CTestDES : public CDialog {
public:
    explicit CTestDES(CWnd* pParent);
};

// The MD5 of 40 random bytes, shown with the bytes as hex text.
#pragma once

#include "des_hash_tests/test_object_dialog.h"

class CTestMD5 : public CTestObjectDialog<IHashMD5> {
public:
    explicit CTestMD5(CWnd* pParent);

    CString m_Data;    // IDC_DATA
    CString m_Result;  // IDC_RESULT

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnTest();
};

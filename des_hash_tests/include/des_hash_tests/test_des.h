// The DES round trip: a random key and block, encrypted and decrypted in
// place by the component's DES object, all four shown as hex text.
#pragma once

#include "des_hash_tests/test_object_dialog.h"

class CTestDES : public CTestObjectDialog<IUserDES> {
public:
    explicit CTestDES(CWnd* pParent);

    CString m_Data;    // IDC_DATA
    CString m_Decode;  // IDC_DECODE
    CString m_Encode;  // IDC_ENCODE
    CString m_Key;     // IDC_KEY

    // Seeds the random numbers once there is an object to test.
    BOOL OnInitDialog() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnTest();
};

// The DES round trip: a random key and block, encrypted and decrypted in
// place by the component's DES object, all four shown as hex text.
#pragma once

#include "runtime/com_ptr.h"
#include "framework/dialog.h"

#include <string>
#include <tarvel/crypto.h>

class CTestDES : public CDialog {
public:
    explicit CTestDES(CWnd* pParent);

    CString m_Data;    // IDC_DATA
    CString m_Decode;  // IDC_DECODE
    CString m_Encode;  // IDC_ENCODE
    CString m_Key;     // IDC_KEY

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void PostNcDestroy() override;

public:
    BOOL OnInitDialog() override;
    void OnOK() override;

protected:
    void OnTest();

    ComPtr<IUserDES> m_pDES;

private:
    std::string m_creationError;  // why the object is missing, if it is
};

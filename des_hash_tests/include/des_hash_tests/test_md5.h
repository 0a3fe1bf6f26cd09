// The MD5 of 40 random bytes, shown with the bytes as hex text.
#pragma once

#include "runtime/com_ptr.h"
#include "framework/dialog.h"

#include <string>
#include <tarvel/crypto.h>

class CTestMD5 : public CDialog {
public:
    explicit CTestMD5(CWnd* pParent);

    CString m_Data;    // IDC_DATA
    CString m_Result;  // IDC_RESULT

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void PostNcDestroy() override;

public:
    BOOL OnInitDialog() override;
    void OnOK() override;

protected:
    void OnTest();

    ComPtr<IHashMD5> m_pMD5;

private:
    std::string m_creationError;  // why the object is missing, if it is
};

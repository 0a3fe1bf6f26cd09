// Page 2 of the RSA Wizard (CRS2 on template IDD_RSA2): shows the base,
// public and private key of page 1's first object, fetched afresh at every
// activation, with the generation time.
#pragma once

#include "rsa_wizard/key_page.h"

class CRS2 : public CKeyPage {
public:
    static constexpr const char* kClassName = "CRS2";

    CRS2();

    CString m_Base;
    CString m_PrivateKey;
    CString m_PublicKey;
    CString m_Time;

    BOOL OnSetActive() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;

private:
    void FetchKeyNumbers();
};

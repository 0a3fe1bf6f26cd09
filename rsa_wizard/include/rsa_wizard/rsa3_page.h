// Page 3 of the RSA Wizard (CRSA3 on template IDD_RSA3): a timed encrypt and
// decrypt of random data below the base, with the key of page 1's first
// object. The user compares Data and Decode by eye.
#pragma once

#include "rsa_wizard/key_page.h"

namespace harness {
struct RsaRoundTrip;
}

class CRSA3 : public CKeyPage {
public:
    static constexpr const char* kClassName = "CRSA3";

    CRSA3();

    CString m_Data;
    CString m_Decode;
    CString m_Encode;
    CString m_DecTime;
    CString m_EncTime;

    void OnTest();

protected:
    void DoDataExchange(CDataExchange* pDX) override;

private:
    void ClearTexts();
    // Puts what the round trip got into the texts and reports its failure.
    void ShowRoundTrip(const harness::RsaRoundTrip& trip);
};

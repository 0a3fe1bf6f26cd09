// Page 3 of the RSA Wizard (CRSA3 on template IDD_RSA3): a timed encrypt and
// decrypt of random data below the base, with the key of page 1's first
// object. The user compares Data and Decode by eye.
#pragma once

#include "framework/property_sheet.h"

class CRSA1;

namespace harness {
struct RsaRoundTrip;
}

class CRSA3 : public CPropertyPage {
public:
    // Dynamic creation by class name, as for every page class.
    using RuntimeBase = CPropertyPage;
    static constexpr const char* kClassName = "CRSA3";

    CRSA3();

    CString m_Data;
    CString m_Decode;
    CString m_Encode;
    CString m_DecTime;
    CString m_EncTime;
    CRSA1* m_pPage1 = nullptr;  // not owned

    void OnTest();

protected:
    void DoDataExchange(CDataExchange* pDX) override;

private:
    void ClearTexts();
    // Puts what the round trip got into the texts and reports its failure.
    void ShowRoundTrip(const harness::RsaRoundTrip& trip);
};

// Page 2 of the RSA Wizard (CRS2 on template IDD_RSA2): shows the base,
// public and private key of page 1's first object, fetched afresh at every
// activation, with the generation time.
#pragma once

#include "framework/property_sheet.h"

class CRSA1;

class CRS2 : public CPropertyPage {
public:
    // Dynamic creation by class name, as for every page class.
    using RuntimeBase = CPropertyPage;
    static constexpr const char* kClassName = "CRS2";

    CRS2();

    CString m_Base;
    CString m_PrivateKey;
    CString m_PublicKey;
    CString m_Time;
    CRSA1* m_pPage1 = nullptr;  // not owned

    BOOL OnSetActive() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;

private:
    void FetchKeyNumbers();
};

// Page 4 of the RSA Wizard (CRSA4 on template IDD_RSA4): has page 1's first
// object save its key as three files sharing one base name: .wky, .rky and
// .asy.
#pragma once

#include "framework/property_sheet.h"

class CRSA1;

class CRSA4 : public CPropertyPage {
public:
    // Dynamic creation by class name, as for every page class.
    using RuntimeBase = CPropertyPage;
    static constexpr const char* kClassName = "CRSA4";

    CRSA4();

    CRSA1* m_pPage1 = nullptr;  // not owned
    CString m_FileName = "MyKey";

    void OnFileName();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};

// Page 4 of the RSA Wizard (CRSA4 on template IDD_RSA4): has page 1's first
// object save its key as three files sharing one base name: .wky, .rky and
// .asy.
#pragma once

#include "rsa_wizard/key_page.h"

class CRSA4 : public CKeyPage {
public:
    static constexpr const char* kClassName = "CRSA4";

    CRSA4();

    CString m_FileName = "MyKey";

    void OnFileName();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};

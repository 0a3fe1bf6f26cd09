// What pages 2 to 4 of the RSA Wizard share: each works on page 1's first
// object, found afresh through the sheet whenever the page needs it, since
// page 1 makes it anew at every Next.
#pragma once

#include "framework/property_sheet.h"

#include <tarvel/crypto.h>

class CRSA1;

class CKeyPage : public CPropertyPage {
public:
    // Dynamic creation by class name, as for every page class.
    using RuntimeBase = CPropertyPage;

    CRSA1* m_pPage1 = nullptr;  // not owned

protected:
    explicit CKeyPage(UINT nIDTemplate);

    // Page 1's first object, with m_pPage1 found afresh; null when the sheet
    // has no page 1 or page 1 has no object (CRSA1::NoObjectTextFor says
    // which).
    IUserRSA* FindKeyObject();
};

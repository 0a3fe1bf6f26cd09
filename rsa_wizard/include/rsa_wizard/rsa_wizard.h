// The "RSA Wizard": the sheet with its four pages, run modally.
#pragma once

#include "rsa_wizard/rsa1_page.h"
#include "rsa_wizard/rsa2_page.h"
#include "rsa_wizard/rsa3_page.h"
#include "rsa_wizard/rsa4_page.h"

#include "framework/property_sheet.h"

class CWnd;

// Builds the wizard with the view as parent; the caller runs it with DoModal
// (or Create and PressButton). The pages go before the sheet, last page
// first, whether or not the wizard ran.
class RsaWizard {
public:
    explicit RsaWizard(CWnd* pParentView);
    ~RsaWizard();
    RsaWizard(const RsaWizard&) = delete;
    RsaWizard& operator=(const RsaWizard&) = delete;

    CPropertySheet& Sheet() { return m_sheet; }
    CRSA1& Rsa1Page() { return m_rsa1; }
    CRS2& Rsa2Page() { return m_rsa2; }
    CRSA3& Rsa3Page() { return m_rsa3; }
    CRSA4& Rsa4Page() { return m_rsa4; }

private:
    // Declared first so that it is destroyed last.
    CPropertySheet m_sheet;
    CRSA1 m_rsa1;
    CRS2 m_rsa2;
    CRSA3 m_rsa3;
    CRSA4 m_rsa4;
};

// What the view does at each initial update: one modal run of a new wizard.
void RunRsaWizard(CWnd* pParentView);

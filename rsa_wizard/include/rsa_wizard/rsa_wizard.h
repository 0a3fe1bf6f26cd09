// The "RSA Wizard": the sheet with its four pages, run modally.
#pragma once

#include "rsa_wizard/rsa2_page.h"
#include "rsa_wizard/rsa1_page.h"
#include "rsa_wizard/rsa4_page.h"
#include "rsa_wizard/rsa3_page.h"

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
    CRSA1& KeyGenerationPage() { return m_keyGeneration; }
    CRS2& KeyDisplayPage() { return m_keyDisplay; }
    CRSA3& RoundTripPage() { return m_roundTrip; }
    CRSA4& KeySavePage() { return m_keySave; }

private:
    // Declared first so that it is destroyed last.
    CPropertySheet m_sheet;
    CRSA1 m_keyGeneration;
    CRS2 m_keyDisplay;
    CRSA3 m_roundTrip;
    CRSA4 m_keySave;
};

// What the view does at each initial update: one modal run of a new wizard.
void RunRsaWizard(CWnd* pParentView);

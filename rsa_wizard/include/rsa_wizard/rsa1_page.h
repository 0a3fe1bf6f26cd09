// Page 1 of the RSA Wizard (CRSA1 on template IDD_RSA1): generates a key for
// a user id and a length in 32-bit words, optionally copies it into a second
// object through every getter and setter, and owns both objects for the life
// of its window.
#pragma once

#include "runtime/com_ptr.h"
#include "framework/property_sheet.h"

#include <tarvel/crypto.h>

#include <string>

class CRSA1 : public CPropertyPage {
public:
    // Dynamic creation by class name, as for every page class.
    using RuntimeBase = CPropertyPage;
    static constexpr const char* kClassName = "CRSA1";

    CRSA1();

    UINT m_KeyLength = 0;  // words
    CString m_UserID;
    BOOL m_TestGetSet = FALSE;
    // The object keys are generated on and that the later pages use.
    ComPtr<IUserRSA> m_pRSA;
    // The target of the get-set copy; trades places with m_pRSA after a copy.
    ComPtr<IUserRSA> m_pRSA2;
    CString m_Time;  // generation time of the last Next

    // Copies the key of m_pRSA into m_pRSA2 number by number. TRUE only when
    // every call succeeded; a failure has been reported by then.
    BOOL TestGetSet();

    // Page 1 of the sheet that holds page, or null when there is none.
    static CRSA1* FromSheetOf(const CWnd& page);
    // What a page that needs m_pRSA says when it is empty: page's sheet has
    // no page 1, or page 1 could not create it (with the binding's reason).
    static CString NoObjectTextFor(const CWnd& page);

    BOOL OnInitDialog() override;
    LRESULT OnWizardNext() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnDestroy() override;

private:
    // Generates the key on m_pRSA and sets m_Time to how long it took. TRUE
    // on success; a failure has been reported by then.
    BOOL GenerateTimedKey();

    std::string m_creationError;  // why m_pRSA is missing, if it is
};

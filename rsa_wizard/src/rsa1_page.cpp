#include "rsa_wizard/rsa1_page.h"

#include "rsa_wizard/component_call.h"
#include "rsa_wizard/wizard_resource_ids.h"

#include "harness/rsa_key.h"

#include "runtime/object_binding.h"
#include "framework/data_exchange.h"
#include "framework/prompts.h"
#include "framework/wait_cursor.h"

CRSA1::CRSA1() : CPropertyPage(IDD_RSA1) {}

CRSA1* CRSA1::FromSheetOf(const CWnd& page)
{
    auto* sheet = dynamic_cast<CPropertySheet*>(page.GetParent());
    return sheet ? dynamic_cast<CRSA1*>(sheet->GetPage(0)) : nullptr;
}

CString CRSA1::NoObjectTextFor(const CWnd& page)
{
    const CRSA1* page1 = FromSheetOf(page);
    return NoRsaObjectText(page1 ? page1->m_creationError : std::string());
}

void CRSA1::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_KEYLENGTH, m_KeyLength);
    DDX_Text(pDX, IDC_USERID, m_UserID);
    DDX_Check(pDX, IDC_TESTGETSET, m_TestGetSet);
}

BOOL CRSA1::OnInitDialog()
{
    m_UserID = "Testing";
    m_KeyLength = 16;
    CPropertyPage::OnInitDialog();

    if (FAILED(CoCreateInstance(CLSID_UserRSA, nullptr, CLSCTX_INPROC_SERVER, IID_IUserRSA, m_pRSA.Put()))) {
        m_creationError = CoLastErrorText();
        AfxMessageBox("IUserRSA failed", MB_OK);
        return TRUE;
    }
    if (FAILED(CoCreateInstance(CLSID_UserRSA, nullptr, CLSCTX_INPROC_SERVER, IID_IUserRSA, m_pRSA2.Put()))) {
        AfxMessageBox("Second IUserRSA failed", MB_OK);
        return TRUE;
    }
    return TRUE;
}

LRESULT CRSA1::OnWizardNext()
{
    // A length that does not parse has been reported by the exchange; a key
    // from the values held before would be a key the user did not ask for.
    if (!UpdateData(TRUE))
        return -1;
    if (!m_pRSA) {
        AfxMessageBox(NoRsaObjectText(m_creationError), MB_OK);
        return -1;
    }

    CWaitCursor wait;
    if (!GenerateTimedKey())
        return -1;
    // A copy that broke off is not swapped in: the first slot keeps the
    // generated key, which the later pages then show.
    if (m_TestGetSet == 1 && TestGetSet())
        m_pRSA.Swap(m_pRSA2);
    return CPropertyPage::OnWizardNext();
}

BOOL CRSA1::GenerateTimedKey()
{
    const auto elapsed = harness::GenerateKeyTimed(*m_pRSA.Get(), m_UserID.GetString(), m_KeyLength);
    if (!elapsed) {
        ReportFailure(elapsed.Failure());
        return FALSE;
    }
    m_Time.Format("Key Generation Time %d milliseconds", static_cast<int>(elapsed.Value()));
    return TRUE;
}

BOOL CRSA1::TestGetSet()
{
    if (!m_pRSA || !m_pRSA2)
        return FALSE;
    const auto copied = harness::CopyKey(*m_pRSA.Get(), *m_pRSA2.Get());
    if (!copied) {
        ReportFailure(copied.Failure());
        return FALSE;
    }
    return TRUE;
}

void CRSA1::OnDestroy()
{
    m_pRSA.Release();
    m_pRSA2.Release();
    CPropertyPage::OnDestroy();
}

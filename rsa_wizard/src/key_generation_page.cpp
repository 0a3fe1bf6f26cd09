#include "rsa_wizard/key_generation_page.h"

#include "rsa_wizard/component_call.h"
#include "rsa_wizard/wizard_resource_ids.h"

#include "platform/com.h"
#include "platform/data_exchange.h"
#include "platform/prompts.h"
#include "platform/runtime.h"
#include "platform/wait_cursor.h"

namespace {

struct CopyRow {
    const char* getterName;
    KeyNumberGetter getter;
    const char* setterName;
    KeyNumberSetter setter;
};

constexpr CopyRow kCopyRows[] = {
    {"GetBase", &IUserRSA::GetBase, "SetBase", &IUserRSA::SetBase},
    {"GetPublicKey", &IUserRSA::GetPublicKey, "SetPublicKey", &IUserRSA::SetPublicKey},
    {"GetPrivateKey", &IUserRSA::GetPrivateKey, "SetPrivateKey", &IUserRSA::SetPrivateKey},
    {"GetKeyPart4", &IUserRSA::GetKeyPart4, "SetKeyPart4", &IUserRSA::SetKeyPart4},
    {"GetKeyPart5", &IUserRSA::GetKeyPart5, "SetKeyPart5", &IUserRSA::SetKeyPart5},
    {"GetKeyPart6", &IUserRSA::GetKeyPart6, "SetKeyPart6", &IUserRSA::SetKeyPart6},
    {"GetKeyPart7", &IUserRSA::GetKeyPart7, "SetKeyPart7", &IUserRSA::SetKeyPart7},
    {"GetKeyPart8", &IUserRSA::GetKeyPart8, "SetKeyPart8", &IUserRSA::SetKeyPart8},
};

// The copy is marked as such, whoever the key was made for.
constexpr char kCopyCode[] = "60418";
constexpr char kCopyUserId[] = "Second";

}  // namespace

CRSA1::CRSA1() : CPropertyPage(IDD_RSA1) {}

CRSA1* CRSA1::FromSheetOf(const CWnd& page)
{
    auto* sheet = dynamic_cast<CPropertySheet*>(page.GetParent());
    return sheet ? dynamic_cast<CRSA1*>(sheet->GetPage(0)) : nullptr;
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
        AfxMessageBox(kNoRsaObjectText, MB_OK);
        return -1;
    }

    CWaitCursor wait;
    if (!GenerateKey())
        return -1;
    // A copy that broke off is not swapped in: the first slot keeps the
    // generated key, which the later pages then show.
    if (m_TestGetSet == 1 && TestGetSet())
        m_pRSA.Swap(m_pRSA2);
    return CPropertyPage::OnWizardNext();
}

bool CRSA1::GenerateKey()
{
    const std::uint32_t start = GetTickCount();
    const HRESULT status = m_pRSA->GenerateKey(m_UserID.GetString(), m_KeyLength);
    const std::uint32_t end = GetTickCount();
    if (!CheckCall(status, "GenerateKey"))
        return false;
    m_Time.Format("Key Generation Time %d milliseconds", static_cast<int>(end - start));
    return true;
}

BOOL CRSA1::TestGetSet()
{
    if (!m_pRSA || !m_pRSA2)
        return FALSE;
    if (!CheckCall(m_pRSA2->Clear(), "Clear") || !CopyKeyNumbers())
        return FALSE;
    if (!CheckCall(m_pRSA2->SetCode(kCopyCode, sizeof kCopyCode - 1), "SetCode"))
        return FALSE;
    if (!CheckCall(m_pRSA2->SetUserId(kCopyUserId, sizeof kCopyUserId - 1), "SetUserId"))
        return FALSE;
    return TRUE;
}

bool CRSA1::CopyKeyNumbers()
{
    for (const CopyRow& row : kCopyRows) {
        std::uint32_t count = 0;
        const auto number = ReadKeyNumber(*m_pRSA.Get(), row.getter, row.getterName, count);
        if (!number)
            return false;
        if (!CheckCall((m_pRSA2.Get()->*row.setter)(number->data(), count), row.setterName))
            return false;
    }
    return true;
}

void CRSA1::OnDestroy()
{
    m_pRSA.Release();
    m_pRSA2.Release();
    CPropertyPage::OnDestroy();
}

#include "rsa_wizard/key_display_page.h"

#include "rsa_wizard/component_call.h"
#include "rsa_wizard/key_generation_page.h"
#include "rsa_wizard/wizard_resource_ids.h"

#include "common/hex_format.h"
#include "platform/data_exchange.h"

CRS2::CRS2() : CPropertyPage(IDD_RSA2) {}

void CRS2::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_BASE, m_Base);
    DDX_Text(pDX, IDC_PRIVATEKEY, m_PrivateKey);
    DDX_Text(pDX, IDC_PUBLICKEY, m_PublicKey);
    DDX_Text(pDX, IDC_GENTIME, m_Time);
}

BOOL CRS2::OnSetActive()
{
    m_pPage1 = CRSA1::FromSheetOf(*this);
    m_Base.Empty();
    m_PrivateKey.Empty();
    m_PublicKey.Empty();
    if (m_pPage1 && m_pPage1->m_pRSA) {
        m_Time = m_pPage1->m_Time;
        FetchKeyNumbers();
    } else {
        m_Time = kNoRsaObjectText;
    }
    UpdateData(FALSE);
    return CPropertyPage::OnSetActive();
}

void CRS2::FetchKeyNumbers()
{
    struct Row {
        const char* getterName;
        KeyNumberGetter getter;
        CString& field;
    };
    const Row rows[] = {
        {"GetBase", &IUserRSA::GetBase, m_Base},
        {"GetPublicKey", &IUserRSA::GetPublicKey, m_PublicKey},
        {"GetPrivateKey", &IUserRSA::GetPrivateKey, m_PrivateKey},
    };
    // One count for all rows: each size query starts from what the row
    // before left in it, which the component ignores.
    std::uint32_t count = 0;
    for (const Row& row : rows) {
        const auto number = ReadKeyNumber(*m_pPage1->m_pRSA.Get(), row.getter, row.getterName, count);
        if (!number)
            return;
        row.field = FormatHex(number->data(), static_cast<int>(number->size()));
    }
}

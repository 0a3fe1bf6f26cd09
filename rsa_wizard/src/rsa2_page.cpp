#include "rsa_wizard/rsa2_page.h"

#include "rsa_wizard/component_call.h"
#include "rsa_wizard/rsa1_page.h"
#include "rsa_wizard/wizard_resource_ids.h"

#include "harness/rsa_key.h"

#include "common/hex_format.h"
#include "framework/data_exchange.h"

CRS2::CRS2() : CKeyPage(IDD_RSA2) {}

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
    m_Base.Empty();
    m_PrivateKey.Empty();
    m_PublicKey.Empty();
    if (FindKeyObject()) {
        m_Time = m_pPage1->m_Time;
        FetchKeyNumbers();
    } else {
        m_Time = CRSA1::NoObjectTextFor(*this);
    }
    UpdateData(FALSE);
    return CPropertyPage::OnSetActive();
}

void CRS2::FetchKeyNumbers()
{
    const harness::DisplayedKey key = harness::FetchDisplayedKey(*m_pPage1->m_pRSA.Get());
    const auto show = [](const std::optional<std::vector<std::uint32_t>>& number, CString& field) {
        if (number)
            field = FormatHex(number->data(), static_cast<int>(number->size()));
    };
    show(key.base, m_Base);
    show(key.publicKey, m_PublicKey);
    show(key.privateKey, m_PrivateKey);
    if (key.failure)
        ReportFailure(*key.failure);
}

#include "rsa_wizard/rsa3_page.h"

#include "rsa_wizard/component_call.h"
#include "rsa_wizard/rsa1_page.h"
#include "rsa_wizard/wizard_resource_ids.h"

#include "harness/rsa_round_trip.h"

#include "common/hex_format.h"
#include "framework/data_exchange.h"
#include "framework/prompts.h"

CRSA3::CRSA3() : CKeyPage(IDD_RSA3)
{
    OnButtonClicked(IDC_TEST, &CRSA3::OnTest);
}

void CRSA3::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_DATA, m_Data);
    DDX_Text(pDX, IDC_DECODE, m_Decode);
    DDX_Text(pDX, IDC_ENCODE, m_Encode);
    DDX_Text(pDX, IDC_DECTIME, m_DecTime);
    DDX_Text(pDX, IDC_ENCTIME, m_EncTime);
}

void CRSA3::ClearTexts()
{
    m_Data.Empty();
    m_Decode.Empty();
    m_Encode.Empty();
    m_DecTime.Empty();
    m_EncTime.Empty();
}

void CRSA3::OnTest()
{
    // Whatever a press leaves on the page comes from this press alone.
    ClearTexts();
    IUserRSA* rsa = FindKeyObject();
    if (!rsa) {
        AfxMessageBox(CRSA1::NoObjectTextFor(*this), MB_OK);
    } else {
        const auto data = harness::MakeRoundTripData(*rsa);
        if (!data) {
            ReportFailure(data.Failure());
        } else {
            m_Data = FormatHex(data->data(), static_cast<int>(data->size()));
            ShowRoundTrip(harness::RunRoundTrip(*rsa, data.Value()));
        }
    }
    UpdateData(FALSE);
}

void CRSA3::ShowRoundTrip(const harness::RsaRoundTrip& trip)
{
    if (trip.encoded) {
        m_Encode = FormatHex(trip.encoded->data(), static_cast<int>(trip.encoded->size()));
        m_EncTime.Format("Encryption Time %d milliseconds", static_cast<int>(trip.encryptMilliseconds));
    }
    if (trip.decoded) {
        m_Decode = FormatHex(trip.decoded->data(), static_cast<int>(trip.decoded->size()));
        m_DecTime.Format("Decryption Time %d milliseconds", static_cast<int>(trip.decryptMilliseconds));
    }
    if (trip.failure)
        ReportFailure(*trip.failure);
}

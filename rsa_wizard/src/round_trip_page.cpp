#include "rsa_wizard/round_trip_page.h"

#include "rsa_wizard/below_base.h"
#include "rsa_wizard/component_call.h"
#include "rsa_wizard/key_generation_page.h"
#include "rsa_wizard/wizard_resource_ids.h"

#include "common/hex_format.h"
#include "platform/data_exchange.h"
#include "platform/prompts.h"
#include "platform/runtime.h"

CRSA3::CRSA3() : CPropertyPage(IDD_RSA3)
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
    m_pPage1 = CRSA1::FromSheetOf(*this);
    if (!m_pPage1 || !m_pPage1->m_pRSA) {
        AfxMessageBox(kNoRsaObjectText, MB_OK);
    } else {
        const std::vector<std::uint32_t> data = MakeData(*m_pPage1->m_pRSA.Get());
        if (!data.empty()) {
            m_Data = FormatHex(data.data(), static_cast<int>(data.size()));
            RoundTrip(*m_pPage1->m_pRSA.Get(), data);
        }
    }
    UpdateData(FALSE);
}

std::vector<std::uint32_t> CRSA3::MakeData(IUserRSA& rsa)
{
    std::uint32_t words = 0;
    if (!CheckCall(rsa.GetKeyLength(&words), "GetKeyLength") ||
        !CheckCount(words, kMaxNumberWords, "GetKeyLength"))
        return {};
    if (words == 0) {
        AfxMessageBox("The RSA object holds no key", MB_OK);
        return {};
    }
    std::vector<std::uint32_t> base(words, 0);
    std::uint32_t baseWords = words;
    if (!CheckCall(rsa.GetBase(base.data(), &baseWords), "GetBase") || !CheckCount(baseWords, words, "GetBase"))
        return {};
    base.resize(baseWords);

    std::vector<std::uint32_t> data(base.size(), 0);
    FillRandom(data.data(), static_cast<int>(data.size()));
    if (!KeepBelowBase(data, base)) {
        AfxMessageBox("The key's base is too small to hold any data", MB_OK);
        return {};
    }
    return data;
}

bool CRSA3::RoundTrip(IUserRSA& rsa, const std::vector<std::uint32_t>& data)
{
    const auto words = static_cast<std::uint32_t>(data.size());

    std::vector<std::uint32_t> encoded(words, 0);
    std::uint32_t encodedWords = words;
    std::uint32_t start = GetTickCount();
    HRESULT status = rsa.Encrypt(data.data(), words, encoded.data(), &encodedWords);
    std::uint32_t end = GetTickCount();
    if (!CheckCall(status, "Encrypt") || !CheckCount(encodedWords, words, "Encrypt"))
        return false;
    m_Encode = FormatHex(encoded.data(), static_cast<int>(words));
    m_EncTime.Format("Encryption Time %d milliseconds", static_cast<int>(end - start));

    std::vector<std::uint32_t> decoded(words, 0);
    std::uint32_t decodedWords = words;
    start = GetTickCount();
    status = rsa.Decrypt(encoded.data(), encodedWords, decoded.data(), &decodedWords);
    end = GetTickCount();
    if (!CheckCall(status, "Decrypt"))
        return false;
    m_Decode = FormatHex(decoded.data(), static_cast<int>(words));
    m_DecTime.Format("Decryption Time %d milliseconds", static_cast<int>(end - start));
    return true;
}

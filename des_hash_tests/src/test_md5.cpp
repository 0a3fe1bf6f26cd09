#include "des_hash_tests/test_md5.h"

#include "des_hash_tests/test_dialog_resource_ids.h"

#include "harness/failure_text.h"
#include "harness/md5_digest.h"

#include "common/hex_format.h"
#include "runtime/object_binding.h"
#include "framework/data_exchange.h"
#include "framework/prompts.h"
#include "runtime/runtime.h"

#include <cstdint>

using namespace tarvel3_ids;

namespace {

constexpr int kDataWords = 10;  // 40 bytes

}  // namespace

CTestMD5::CTestMD5(CWnd* pParent) : CTestObjectDialog(IDD_TESTMD5, pParent, CLSID_HashMD5, IID_IHashMD5, "IHashMD5")
{
    OnButtonClicked(IDC_TEST, &CTestMD5::OnTest);
    crt::srand(GetTickCount());
}

void CTestMD5::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_DATA, m_Data);
    DDX_Text(pDX, IDC_RESULT, m_Result);
}

void CTestMD5::OnTest()
{
    IHashMD5* md5 = ObjectToTest();
    if (!md5)
        return;

    // Bytes in drawing order; shown as words, so the last drawn prints first.
    std::uint32_t data[kDataWords];
    auto* bytes = reinterpret_cast<std::uint8_t*>(data);
    for (int i = 0; i < kDataWords * 4; ++i)
        bytes[i] = static_cast<std::uint8_t>(crt::rand() & 0xFF);

    const auto digest = harness::Md5Of(*md5, {bytes, kDataWords * 4});

    m_Data = FormatHex(data, kDataWords);
    if (digest)
        m_Result = FormatHex(digest->data(), static_cast<int>(digest->size()));
    else
        m_Result.Empty();
    UpdateData(FALSE);
    if (!digest)
        AfxMessageBox(CString(harness::FailureText(digest.Failure())), MB_OK);
}

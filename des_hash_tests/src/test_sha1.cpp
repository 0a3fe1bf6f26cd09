#include "des_hash_tests/test_sha1.h"

#include "failure_text.h"

#include "common/hex_format.h"
#include "platform/com.h"
#include "platform/data_exchange.h"
#include "platform/mapped_file.h"
#include "platform/prompts.h"
#include "platform/runtime.h"
#include "platform/sigbus_guard.h"

#include <cstdint>

namespace {

constexpr int kDigestWords = kSha1DigestBytes / 4;

// The component takes a 32-bit byte count; a larger file could only be
// hashed in part, and its digest would be wrong.
constexpr std::uint64_t kLargestFile = 0xFFFFFFFFull;

}  // namespace

CTestSHA1::CTestSHA1(CWnd* pParent) : CDialog(131, pParent)
{
    OnButtonClicked(1005, &CTestSHA1::OnFileName);
}

void CTestSHA1::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, 1006, m_FileName);
    DDX_Text(pDX, 1007, m_Result);
    DDX_Text(pDX, 1009, m_Time);
}

BOOL CTestSHA1::OnInitDialog()
{
    CDialog::OnInitDialog();

    const HRESULT hr = CoCreateInstance(CLSID_HashSHA1, nullptr, CLSCTX_INPROC_SERVER, IID_IHashSHA1, m_pSHA1.Put());
    if (FAILED(hr) || !m_pSHA1) {
        m_creationError = FAILED(hr) ? CoLastErrorText() : "The component reported success but gave no object.";
        m_pSHA1.Release();
        AfxMessageBox("IHashSHA1 failed", MB_OK);
    }
    return TRUE;
}

void CTestSHA1::OnFileName()
{
    if (!m_pSHA1) {
        AfxMessageBox(NoObjectText("IHashSHA1", m_creationError), MB_OK);
        return;
    }

    CString path;
    {
        CFileDialog dialog(TRUE, nullptr, "*.*", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, "ALL(.)|*.*||");
        if (dialog.DoModal() != IDOK)
            return;
        path = dialog.GetPathName();
    }

    m_FileName = path;
    const CString failure = HashChosenFile();
    if (!failure.IsEmpty()) {
        // Never leave the previous file's digest beside the new path.
        m_Result.Empty();
        m_Time.Empty();
    }
    UpdateData(FALSE);
    if (!failure.IsEmpty())
        AfxMessageBox(failure, MB_OK);
}

CString CTestSHA1::HashChosenFile()
{
    CString failure;
    MappedFile file;
    switch (file.Open(m_FileName.str(), kLargestFile)) {
    case MappedFile::Status::Ok:
        break;
    case MappedFile::Status::CannotOpen:
        failure.Format("Cannot open %s: %s.", m_FileName.GetString(), file.ErrorText().c_str());
        return failure;
    case MappedFile::Status::TooLarge:
        failure.Format("%s is 4 GiB or larger. Files of that size cannot be hashed here: "
                       "the component takes a 32-bit byte count. Nothing was hashed.",
                       m_FileName.GetString());
        return failure;
    case MappedFile::Status::CannotMap:
        failure.Format("Cannot map %s into memory: %s.", m_FileName.GetString(), file.ErrorText().c_str());
        return failure;
    }

    std::uint32_t digest[kDigestWords] = {};
    bool changedMeanwhile = false;

    const DWORD start = GetTickCount();
    const auto bytes = static_cast<std::uint32_t>(file.Size());
    HRESULT hr;
    {
        SigbusGuard guard(file.Data(), file.Size());
        hr = m_pSHA1->HashData(file.Data(), bytes);
        changedMeanwhile = guard.Tripped();
    }
    if (SUCCEEDED(hr) && !changedMeanwhile) {
        if (hr = m_pSHA1->GetHash(reinterpret_cast<std::uint8_t*>(digest)); FAILED(hr)) {
            failure = CallFailedText("IHashSHA1::GetHash", hr);
            return failure;
        }
    }
    const DWORD end = GetTickCount();

    if (changedMeanwhile) {
        failure.Format("%s changed while it was hashed (it became shorter), so no digest is shown.",
                       m_FileName.GetString());
        return failure;
    }
    if (FAILED(hr)) {
        failure = CallFailedText("IHashSHA1::HashData", hr);
        return failure;
    }

    m_Result = FormatHex(digest, kDigestWords);
    m_Time.Format("%lu millisec on %lu bytes", static_cast<unsigned long>(end - start),
                  static_cast<unsigned long>(file.Size()));
    return failure;
}

void CTestSHA1::OnOK()
{
    CDialog::OnOK();
}

void CTestSHA1::PostNcDestroy()
{
    m_pSHA1.Release();
    CDialog::PostNcDestroy();
}

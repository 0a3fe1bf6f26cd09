#include "des_hash_tests/test_sha1.h"

#include "des_hash_tests/test_dialog_resource_ids.h"

#include "harness/failure_text.h"
#include "harness/file_sha1.h"

#include "common/hex_format.h"
#include "runtime/object_binding.h"
#include "framework/data_exchange.h"
#include "framework/prompts.h"

#include <cstdint>

using namespace tarvel3_ids;

CTestSHA1::CTestSHA1(CWnd* pParent)
    : CTestObjectDialog(IDD_TESTSHA1, pParent, CLSID_HashSHA1, IID_IHashSHA1, "IHashSHA1")
{
    OnButtonClicked(IDC_FILENAME_BUTTON, &CTestSHA1::OnFileName);
}

void CTestSHA1::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_FILENAME, m_FileName);
    DDX_Text(pDX, IDC_RESULT, m_Result);
    DDX_Text(pDX, IDC_TIME, m_Time);
}

void CTestSHA1::OnFileName()
{
    if (!ObjectToTest())
        return;

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
    const auto hashed = harness::Sha1OfFile(*m_pSHA1.Get(), m_FileName.str());
    if (!hashed)
        return CString(harness::FailureText(hashed.Failure()));
    m_Result = FormatHex(hashed->digest.data(), static_cast<int>(hashed->digest.size()));
    m_Time.Format("%lu millisec on %lu bytes", static_cast<unsigned long>(hashed->milliseconds),
                  static_cast<unsigned long>(hashed->bytes));
    return {};
}

#include "rsa_wizard/key_save_page.h"

#include "rsa_wizard/component_call.h"
#include "rsa_wizard/key_generation_page.h"
#include "rsa_wizard/wizard_resource_ids.h"

#include "platform/data_exchange.h"
#include "platform/prompts.h"

namespace {

using SaveCall = HRESULT (IUserRSA::*)(const char* path);

struct KeyFile {
    const char* extension;
    const char* operation;
    SaveCall save;
};

constexpr KeyFile kKeyFiles[] = {
    {".wky", "SaveWkyFile", &IUserRSA::SaveWkyFile},
    {".rky", "SaveRkyFile", &IUserRSA::SaveRkyFile},
    {".asy", "SaveAsyFile", &IUserRSA::SaveAsyFile},
};

}  // namespace

CString KeyFileBaseName(const CString& fileName)
{
    const int dot = fileName.ReverseFind('.');
    return dot < 0 ? fileName : fileName.Left(dot);
}

CRSA4::CRSA4() : CPropertyPage(IDD_RSA4)
{
    OnButtonClicked(IDC_FILENAME_BUTTON, &CRSA4::OnFileName);
}

void CRSA4::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_FILENAME, m_FileName);
}

void CRSA4::OnFileName()
{
    if (!UpdateData(TRUE))
        return;
    if (m_FileName.IsEmpty()) {
        AfxMessageBox("Empty file name", MB_OK);
        return;
    }
    m_pPage1 = CRSA1::FromSheetOf(*this);
    if (!m_pPage1 || !m_pPage1->m_pRSA) {
        AfxMessageBox(kNoRsaObjectText, MB_OK);
        return;
    }
    const CString baseName = KeyFileBaseName(m_FileName);
    // Each file is attempted even when one before it failed; each failure
    // names the file that is missing.
    for (const KeyFile& file : kKeyFiles) {
        const CString path = baseName + file.extension;
        const HRESULT status = (m_pPage1->m_pRSA.Get()->*file.save)(path.GetString());
        if (FAILED(status))
            AfxMessageBox(FailedCallText(file.operation, status) + ": " + path + " was not written", MB_OK);
    }
}

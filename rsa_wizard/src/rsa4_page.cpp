#include "rsa_wizard/rsa4_page.h"

#include "rsa_wizard/component_call.h"
#include "rsa_wizard/rsa1_page.h"
#include "rsa_wizard/wizard_resource_ids.h"

#include "harness/failure_text.h"
#include "harness/key_files.h"

#include "framework/data_exchange.h"
#include "framework/prompts.h"

CRSA4::CRSA4() : CKeyPage(IDD_RSA4)
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
    IUserRSA* rsa = FindKeyObject();
    if (!rsa) {
        AfxMessageBox(CRSA1::NoObjectTextFor(*this), MB_OK);
        return;
    }
    // Each file is attempted even when one before it failed; each failure
    // names the file that is missing.
    const std::string baseName = harness::KeyFileBaseName(m_FileName.str());
    for (const harness::KeyFileSave& save : harness::SaveKeyFiles(*rsa, baseName)) {
        if (save.failure)
            AfxMessageBox(CString(harness::FailureText(*save.failure)) + ": " + CString(save.path) + " was not written",
                          MB_OK);
    }
}

#include "rsa_wizard/rsa_wizard.h"

RsaWizard::RsaWizard(CWnd* pParentView) : m_sheet("RSA Wizard", pParentView, 0)
{
    m_sheet.AddPage(&m_rsa1);
    m_sheet.AddPage(&m_rsa2);
    m_sheet.AddPage(&m_rsa3);
    m_sheet.AddPage(&m_rsa4);
    m_sheet.m_psh.dwFlags |= PSH_WIZARD;
}

RsaWizard::~RsaWizard()
{
    // Page 1 releases its objects when its window goes, which must happen
    // while the pages still exist.
    m_sheet.DestroyWindow();
}

void RunRsaWizard(CWnd* pParentView)
{
    RsaWizard wizard(pParentView);
    wizard.Sheet().DoModal();
}

#include "rsa_wizard/key_page.h"

#include "rsa_wizard/rsa1_page.h"

CKeyPage::CKeyPage(UINT nIDTemplate) : CPropertyPage(nIDTemplate) {}

IUserRSA* CKeyPage::FindKeyObject()
{
    m_pPage1 = CRSA1::FromSheetOf(*this);
    return m_pPage1 ? m_pPage1->m_pRSA.Get() : nullptr;
}

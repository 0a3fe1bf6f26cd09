#include "tarvel2/tarvel2_view.h"

#include "rsa_wizard/rsa_wizard.h"

namespace {

CTarvel2View::InitialUpdateHook g_initialUpdateHook = nullptr;

}  // namespace

CTarvel2View::CTarvel2View() : CFormView(IDD_TARVEL2_FORM) {}

void CTarvel2View::ReplaceInitialUpdateAction(InitialUpdateHook hook)
{
    g_initialUpdateHook = hook;
}

void CTarvel2View::OnInitialUpdate()
{
    CFormView::OnInitialUpdate();
    if (g_initialUpdateHook)
        g_initialUpdateHook(this);
    else
        RunRsaWizard(this);
}

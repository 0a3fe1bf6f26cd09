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

BOOL CTarvel2View::PreCreateWindow(CREATESTRUCT& cs)
{
    return CFormView::PreCreateWindow(cs);
}

void CTarvel2View::DoDataExchange(CDataExchange* pDX)
{
    CFormView::DoDataExchange(pDX);
}

void CTarvel2View::OnInitialUpdate()
{
    CFormView::OnInitialUpdate();
    if (g_initialUpdateHook)
        g_initialUpdateHook(this);
    else
        RunRsaWizard(this);
}

BOOL CTarvel2View::OnPreparePrinting(CPrintInfo* pInfo)
{
    return DoPreparePrinting(pInfo);
}

void CTarvel2View::OnBeginPrinting(CDC*, CPrintInfo*) {}

void CTarvel2View::OnPrint(CDC*, CPrintInfo*) {}

void CTarvel2View::OnEndPrinting(CDC*, CPrintInfo*) {}

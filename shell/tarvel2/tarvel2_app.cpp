#include "tarvel2/tarvel2_app.h"

#include "framework/afx_commands.h"
#include "runtime/runtime.h"
#include "shell/main_frame.h"
#include "tarvel2/tarvel2_doc.h"
#include "tarvel2/tarvel2_view.h"

CTarvel2App::CTarvel2App() : CTarvelApp(":/tarvel2") {}

std::unique_ptr<CSingleDocTemplate> CTarvel2App::CreateDocTemplate() const
{
    return std::make_unique<CSingleDocTemplate>(IDR_MAINFRAME, RuntimeClassOf<CTarvel2Doc>(),
                                                RuntimeClassOf<CMainFrame>(), RuntimeClassOf<CTarvel2View>());
}

void CTarvel2App::OnMainWindowShown()
{
    // The wizard at start-up has drawn from the unseeded generator; later
    // ones draw from this seed.
    crt::srand(GetTickCount());
}

#include "tarvel3/tarvel3_app.h"

#include "framework/afx_commands.h"
#include "shell/main_frame.h"
#include "tarvel3/tarvel3_doc.h"
#include "tarvel3/tarvel3_view.h"

CTarvel3App::CTarvel3App() : CTarvelApp(":/tarvel3") {}

std::unique_ptr<CSingleDocTemplate> CTarvel3App::CreateDocTemplate() const
{
    return std::make_unique<CSingleDocTemplate>(IDR_MAINFRAME, RuntimeClassOf<CTarvel3Doc>(),
                                                RuntimeClassOf<CMainFrame>(), RuntimeClassOf<CTarvel3View>());
}

#include "tarvel3/tarvel3_app.h"

#include "platform/afx_commands.h"
#include "platform/com.h"
#include "platform/command_line.h"
#include "platform/doc_template.h"
#include "platform/frame.h"
#include "platform/prompts.h"
#include "shell/about_dlg.h"
#include "shell/main_frame.h"
#include "tarvel3/tarvel3_doc.h"
#include "tarvel3/tarvel3_view.h"

CTarvel3App::CTarvel3App() : CWinApp(":/tarvel3")
{
    MapCommand(ID_APP_ABOUT, &CTarvel3App::OnAppAbout);
    MapCommand(ID_FILE_NEW, &CWinApp::OnFileNew);
    MapCommand(ID_FILE_OPEN, &CWinApp::OnFileOpen);
    MapCommand(ID_FILE_PRINT_SETUP, &CWinApp::OnFilePrintSetup);
}

BOOL CTarvel3App::InitInstance()
{
    // Every component object is created through the binding set up here.
    if (!AfxOleInit()) {
        AfxMessageBox("OLE error", MB_OK, 0);
        return FALSE;
    }
    // Hosting ActiveX controls and the 3D control look need nothing here.

    SetRegistryKey("Local AppWizard-Generated Applications");
    LoadStdProfileSettings(4);

    AddDocTemplate(std::make_unique<CSingleDocTemplate>(IDR_MAINFRAME, RuntimeClassOf<CTarvel3Doc>(),
                                                        RuntimeClassOf<CMainFrame>(), RuntimeClassOf<CTarvel3View>()));

    CCommandLineInfo cmdInfo;
    ParseCommandLine(cmdInfo);
    if (!ProcessShellCommand(cmdInfo))
        return FALSE;

    m_pMainWnd->ShowWindow(SW_SHOW);
    m_pMainWnd->UpdateWindow();
    return TRUE;
}

void CTarvel3App::OnAppAbout()
{
    CAboutDlg aboutDlg;
    aboutDlg.DoModal();
}

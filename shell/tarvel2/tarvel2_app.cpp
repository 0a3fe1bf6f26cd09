#include "tarvel2/tarvel2_app.h"

#include "platform/afx_commands.h"
#include "platform/com.h"
#include "platform/command_line.h"
#include "platform/doc_template.h"
#include "platform/frame.h"
#include "platform/prompts.h"
#include "platform/runtime.h"
#include "shell/about_dlg.h"
#include "shell/main_frame.h"
#include "tarvel2/tarvel2_doc.h"
#include "tarvel2/tarvel2_view.h"

CTarvel2App::CTarvel2App() : CWinApp(":/tarvel2")
{
    MapCommand(ID_APP_ABOUT, &CTarvel2App::OnAppAbout);
    MapCommand(ID_FILE_NEW, &CWinApp::OnFileNew);
    MapCommand(ID_FILE_OPEN, &CWinApp::OnFileOpen);
    MapCommand(ID_FILE_PRINT_SETUP, &CWinApp::OnFilePrintSetup);
}

BOOL CTarvel2App::InitInstance()
{
    // Every component object is created through the binding set up here.
    if (!AfxOleInit()) {
        AfxMessageBox("OLE error", MB_OK, 0);
        return FALSE;
    }
    // Hosting ActiveX controls and the 3D control look need nothing here.

    SetRegistryKey("Local AppWizard-Generated Applications");
    LoadStdProfileSettings(4);

    AddDocTemplate(std::make_unique<CSingleDocTemplate>(IDR_MAINFRAME, RuntimeClassOf<CTarvel2Doc>(),
                                                        RuntimeClassOf<CMainFrame>(), RuntimeClassOf<CTarvel2View>()));

    // Makes the first document; the view's initial update runs the RSA
    // wizard inside this call, before the main window is shown.
    CCommandLineInfo cmdInfo;
    ParseCommandLine(cmdInfo);
    if (!ProcessShellCommand(cmdInfo))
        return FALSE;

    m_pMainWnd->ShowWindow(SW_SHOW);
    m_pMainWnd->UpdateWindow();

    // The wizard at start-up has drawn from the unseeded generator; later
    // ones draw from this seed.
    crt::srand(GetTickCount());
    return TRUE;
}

void CTarvel2App::OnAppAbout()
{
    CAboutDlg aboutDlg;
    aboutDlg.DoModal();
}

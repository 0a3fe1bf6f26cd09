#include "shell/tarvel_app.h"

#include "framework/afx_commands.h"
#include "runtime/object_binding.h"
#include "framework/command_line.h"
#include "framework/frame.h"
#include "framework/prompts.h"
#include "shell/about_dlg.h"

#include <tarvel/classes.h>

#include <array>
#include <cstddef>
#include <iterator>

namespace {

// The classes both programs create: the crypto component's, and no other.
constexpr auto kCryptoClassIds = [] {
    std::array<CLSID, std::size(kCryptoClasses)> ids{};
    for (std::size_t i = 0; i < ids.size(); ++i)
        ids[i] = kCryptoClasses[i].clsid;
    return ids;
}();

}  // namespace

CTarvelApp::CTarvelApp(const char* resourceFolder) : CWinApp(resourceFolder)
{
    MapCommand(ID_APP_ABOUT, &CTarvelApp::OnAppAbout);
    MapCommand(ID_FILE_NEW, &CWinApp::OnFileNew);
    MapCommand(ID_FILE_OPEN, &CWinApp::OnFileOpen);
    MapCommand(ID_FILE_PRINT_SETUP, &CWinApp::OnFilePrintSetup);
}

BOOL CTarvelApp::InitInstance()
{
    // Every component object is created through the binding set up here.
    ServeClasses(kCryptoClassIds);
    if (!AfxOleInit()) {
        // The binding says why (a relative TARVEL_COMPONENT, say); without
        // that the user could not tell what to mend.
        const std::string reason = CoLastErrorText();
        AfxMessageBox(reason.empty() ? CString("OLE error") : CString("OLE error\n" + reason), MB_OK, 0);
        return FALSE;
    }
    // Hosting ActiveX controls and the 3D control look need nothing here.

    SetRegistryKey("Local AppWizard-Generated Applications");
    LoadStdProfileSettings(4);

    AddDocTemplate(CreateDocTemplate());

    // Makes the first document; the view's initial update runs inside this
    // call, before the main window is shown.
    CCommandLineInfo cmdInfo;
    ParseCommandLine(cmdInfo);
    if (!ProcessShellCommand(cmdInfo))
        return FALSE;

    m_pMainWnd->ShowWindow(SW_SHOW);
    m_pMainWnd->UpdateWindow();

    OnMainWindowShown();
    return TRUE;
}

void CTarvelApp::OnAppAbout()
{
    CAboutDlg aboutDlg;
    aboutDlg.DoModal();
}

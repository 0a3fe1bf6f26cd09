#include "framework/app.h"

#include "framework/afx_commands.h"
#include "framework/command_line.h"
#include "framework/doc_template.h"
#include "framework/document.h"
#include "framework/frame.h"
#include "framework/prompts.h"
#include "framework/recent_file_list.h"
#include "framework/resources.h"

#include <QApplication>
#include <QMainWindow>
#include <QPageSetupDialog>
#include <QPrinter>

namespace {

CWinApp* g_app = nullptr;

}  // namespace

CWinApp* AfxGetApp()
{
    return g_app;
}

CWinApp::CWinApp(const char* resourceFolder) : m_resourceFolder(resourceFolder ? resourceFolder : "")
{
    g_app = this;
    MapCommand(ID_APP_EXIT, &CWinApp::OnAppExit);
    MapCommandRange(ID_FILE_MRU_FILE1, ID_FILE_MRU_LAST, &CWinApp::OnOpenRecentFile);
}

CWinApp::~CWinApp()
{
    CloseAllDocuments();
    if (g_app == this)
        g_app = nullptr;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::ExitInstance()
{
    if (m_pRecentFileList)
        m_pRecentFileList->WriteList();
    return 0;
}

CString CWinApp::GetAppName() const
{
    return CString(AfxGetResources().LoadString(AFX_IDS_APP_TITLE));
}

void CWinApp::SetRegistryKey(const char* lpszRegistryKey)
{
    m_strRegistryKey = CString(lpszRegistryKey);
    QCoreApplication::setOrganizationName(QString::fromUtf8(lpszRegistryKey));
    QCoreApplication::setApplicationName(QString::fromStdString(GetAppName().str()));
}

void CWinApp::LoadStdProfileSettings(UINT nMaxMRU)
{
    const QString application = QString::fromStdString(GetAppName().str());
    const QString organisation =
        m_strRegistryKey.IsEmpty() ? application : QString::fromStdString(m_strRegistryKey.str());
    m_pRecentFileList = std::make_unique<CRecentFileList>(organisation, application, static_cast<int>(nMaxMRU));
    m_pRecentFileList->ReadList();
}

void CWinApp::AddToRecentFileList(const char* lpszPathName)
{
    if (!m_pRecentFileList)
        return;
    m_pRecentFileList->Add(QByteArray(lpszPathName));
    if (m_pMainWnd)
        m_pMainWnd->UpdateRecentFileMenu();
}

void CWinApp::AddDocTemplate(std::unique_ptr<CSingleDocTemplate> pTemplate)
{
    m_pDocTemplate = std::move(pTemplate);
}

void CWinApp::ParseCommandLine(CCommandLineInfo& rCmdInfo)
{
    rCmdInfo.ParseArguments(m_arguments);
}

BOOL CWinApp::ProcessShellCommand(CCommandLineInfo& rCmdInfo)
{
    switch (rCmdInfo.m_nShellCommand) {
    case CCommandLineInfo::FileNew:
        OnFileNew();
        return m_pMainWnd ? TRUE : FALSE;
    case CCommandLineInfo::FileOpen:
        return OpenDocumentFile(rCmdInfo.m_strFileName) ? TRUE : FALSE;
    case CCommandLineInfo::FileNothing:
        return TRUE;
    }
    return FALSE;
}

CDocument* CWinApp::OpenDocumentFile(const char* lpszFileName)
{
    return m_pDocTemplate ? m_pDocTemplate->OpenDocumentFile(lpszFileName) : nullptr;
}

void CWinApp::OnFileNew()
{
    if (m_pDocTemplate)
        m_pDocTemplate->OpenDocumentFile(nullptr);
}

void CWinApp::OnFileOpen()
{
    CFileDialog dialog(TRUE, nullptr, nullptr, OFN_HIDEREADONLY, "All Files (*.*)|*.*||", m_pMainWnd);
    if (dialog.DoModal() == IDOK)
        OpenDocumentFile(dialog.GetPathName());
}

void CWinApp::OnFilePrintSetup()
{
    QPageSetupDialog dialog(&GetPrinter(), m_pMainWnd ? m_pMainWnd->GetMainWindow() : nullptr);
    dialog.exec();
}

void CWinApp::OnAppExit()
{
    if (m_pMainWnd && m_pMainWnd->GetMainWindow())
        m_pMainWnd->GetMainWindow()->close();
    else
        QCoreApplication::quit();
}

BOOL CWinApp::OnOpenRecentFile(UINT nID)
{
    if (!m_pRecentFileList)
        return FALSE;
    const int index = static_cast<int>(nID - ID_FILE_MRU_FILE1);
    const QByteArray path = m_pRecentFileList->Files().value(index);
    if (path.isEmpty())
        return FALSE;
    // A file that cannot be opened any more leaves the list (the document
    // has already said why).
    if (!OpenDocumentFile(path.constData())) {
        m_pRecentFileList->Remove(index);
        if (m_pMainWnd)
            m_pMainWnd->UpdateRecentFileMenu();
    }
    return TRUE;
}

QPrinter& CWinApp::GetPrinter()
{
    if (!m_pPrinter)
        m_pPrinter = std::make_unique<QPrinter>();
    return *m_pPrinter;
}

void CWinApp::CloseAllDocuments()
{
    if (m_pDocTemplate)
        m_pDocTemplate->CloseAllDocuments();
    m_pMainWnd = nullptr;
    m_pPrinter.reset();
}

// CWinApp: the one application object of a program. It is a global built
// before main(); AfxWinMain then makes the Qt application, installs the
// program's resources and runs InitInstance and the event loop.
#pragma once

#include "framework/cmd_target.h"
#include "runtime/cstring.h"

#include <memory>
#include <string>
#include <vector>

class CCommandLineInfo;
class CDocument;
class CFrameWnd;
class CRecentFileList;
class CSingleDocTemplate;
class QPrinter;
class ResourceSet;

class CWinApp : public CCmdTarget {
public:
    // resourceFolder: where the program's resources are, e.g. ":/tarvel2".
    // The application's name is its string 57344.
    explicit CWinApp(const char* resourceFolder);
    ~CWinApp() override;

    virtual BOOL InitInstance();
    virtual int ExitInstance();

    const std::string& GetResourceFolder() const { return m_resourceFolder; }
    // String 57344 of the program's resources.
    CString GetAppName() const;

    // The arguments after the program name, as ParseCommandLine sees them.
    void SetCommandLineArguments(std::vector<std::string> arguments) { m_arguments = std::move(arguments); }

    CFrameWnd* m_pMainWnd = nullptr;

    // The profile lives in the settings of organisation lpszRegistryKey and
    // application GetAppName().
    void SetRegistryKey(const char* lpszRegistryKey);
    void LoadStdProfileSettings(UINT nMaxMRU = 4);
    CRecentFileList* GetRecentFileList() const { return m_pRecentFileList.get(); }
    void AddToRecentFileList(const char* lpszPathName);

    // The application owns its templates.
    void AddDocTemplate(std::unique_ptr<CSingleDocTemplate> pTemplate);

    void ParseCommandLine(CCommandLineInfo& rCmdInfo);
    BOOL ProcessShellCommand(CCommandLineInfo& rCmdInfo);
    CDocument* OpenDocumentFile(const char* lpszFileName);

    // The standard handlers a program maps in its own message map.
    void OnFileNew();
    void OnFileOpen();
    void OnFilePrintSetup();
    void OnAppExit();
    BOOL OnOpenRecentFile(UINT nID);

    // The printer that Print Setup configures and Print uses.
    QPrinter& GetPrinter();

    // Ends the document, the frame and the view, before Qt goes away.
    void CloseAllDocuments();

private:
    std::string m_resourceFolder;
    std::vector<std::string> m_arguments;
    CString m_strRegistryKey;
    std::unique_ptr<CRecentFileList> m_pRecentFileList;
    std::unique_ptr<CSingleDocTemplate> m_pDocTemplate;
    std::unique_ptr<QPrinter> m_pPrinter;
};

// The application object, or null when there is none.
CWinApp* AfxGetApp();

// The framework's entry: --help and --version, the display check, the Qt
// application (unless one exists already), the resources, InitInstance and
// the event loop. Returns the process exit status.
int AfxWinMain(int argc, char** argv);

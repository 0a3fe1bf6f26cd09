// Starts one of the two programs inside the calling process the way
// AfxWinMain does (its resources, then InitInstance), without the event loop,
// and ends it again: for running a program's windows without a user (tests,
// the screenshot tool). Each session has a fresh application object.
#pragma once

#include "framework/app.h"
#include "framework/frame.h"
#include "framework/resources.h"

#include <QMainWindow>
#include <QString>

#include <memory>
#include <string>
#include <vector>

template <class App>
class ProgramSession {
public:
    explicit ProgramSession(std::vector<std::string> arguments = {})
    {
        m_app = std::make_unique<App>();
        m_resources =
            std::make_unique<ResourceSet>(ResourceSet::Load(QString::fromStdString(m_app->GetResourceFolder())));
        AfxSetResources(m_resources.get());
        m_app->SetCommandLineArguments(std::move(arguments));
        m_started = m_app->InitInstance() != FALSE;
    }
    ~ProgramSession()
    {
        m_app->ExitInstance();
        m_app->CloseAllDocuments();
        m_app.reset();
        AfxSetResources(nullptr);
    }
    ProgramSession(const ProgramSession&) = delete;
    ProgramSession& operator=(const ProgramSession&) = delete;

    bool Started() const { return m_started; }
    App& Application() { return *m_app; }
    CFrameWnd* Frame() const { return m_app->m_pMainWnd; }
    QMainWindow* Window() const { return Frame() ? Frame()->GetMainWindow() : nullptr; }
    QString Caption() const { return Window() ? Window()->windowTitle() : QString(); }
    // Runs a command as its menu item, button or key would.
    bool Command(UINT nID) { return Frame() && Frame()->OnCmdMsg(nID); }

private:
    std::unique_ptr<App> m_app;
    std::unique_ptr<ResourceSet> m_resources;
    bool m_started = false;
};

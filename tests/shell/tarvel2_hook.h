// Tarvel2's view runs the modal RSA wizard at each initial update; the shell
// tests put this probe in its place and read what it saw.
#pragma once

#include "framework/app.h"
#include "framework/frame.h"
#include "runtime/runtime.h"
#include "tarvel2/tarvel2_view.h"

#include <QMainWindow>

struct InitialUpdateProbe {
    int runs = 0;
    bool mainWindowVisible = false;
    bool viewWasTarvel2View = false;
    int firstDraw = -1;  // the first crt::rand() the wizard would have drawn

    static InitialUpdateProbe& Instance()
    {
        static InitialUpdateProbe probe;
        return probe;
    }
    static void Record(CWnd* pView)
    {
        InitialUpdateProbe& probe = Instance();
        ++probe.runs;
        probe.viewWasTarvel2View = dynamic_cast<CTarvel2View*>(pView) != nullptr;
        CWinApp* app = AfxGetApp();
        QMainWindow* window = app && app->m_pMainWnd ? app->m_pMainWnd->GetMainWindow() : nullptr;
        probe.mainWindowVisible = window && window->isVisible();
        probe.firstDraw = crt::rand();
    }
};

// Installs the probe for its lifetime.
class InitialUpdateProbeScope {
public:
    InitialUpdateProbeScope()
    {
        InitialUpdateProbe::Instance() = {};
        CTarvel2View::ReplaceInitialUpdateAction(&InitialUpdateProbe::Record);
    }
    ~InitialUpdateProbeScope() { CTarvel2View::ReplaceInitialUpdateAction(nullptr); }
    InitialUpdateProbeScope(const InitialUpdateProbeScope&) = delete;
    InitialUpdateProbeScope& operator=(const InitialUpdateProbeScope&) = delete;
};

// The main window of both programs: the frame with its toolbar and status bar.
#pragma once

#include "framework/control_bars.h"
#include "framework/frame.h"

class CMainFrame : public CFrameWnd {
public:
    static constexpr const char* kClassName = "CMainFrame";

    CMainFrame() = default;

    CStatusBar m_wndStatusBar;
    CToolBar m_wndToolBar;

protected:
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    int OnCreate(LPCREATESTRUCT lpCreateStruct) override;
};

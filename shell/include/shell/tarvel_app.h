// The application of both programs: start-up, the File commands and About.
// A program names its document and view classes and what, if anything, it
// does once its main window is up.
#pragma once

#include "framework/app.h"
#include "framework/doc_template.h"

#include <memory>

class CTarvelApp : public CWinApp {
public:
    BOOL InitInstance() override;
    void OnAppAbout();

protected:
    explicit CTarvelApp(const char* resourceFolder);

    // The single document template: the program's document, CMainFrame and
    // the program's view, on resource 128.
    virtual std::unique_ptr<CSingleDocTemplate> CreateDocTemplate() const = 0;
    // The last step of start-up, after the main window is shown.
    virtual void OnMainWindowShown() {}
};

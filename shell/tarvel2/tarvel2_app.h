// The Tarvel2 application: the RSA test program.
#pragma once

#include "shell/tarvel_app.h"

class CTarvel2App : public CTarvelApp {
public:
    CTarvel2App();

protected:
    std::unique_ptr<CSingleDocTemplate> CreateDocTemplate() const override;
    void OnMainWindowShown() override;
};

// The Tarvel3 application: the DES and hash test program.
#pragma once

#include "shell/tarvel_app.h"

class CTarvel3App : public CTarvelApp {
public:
    CTarvel3App();

protected:
    std::unique_ptr<CSingleDocTemplate> CreateDocTemplate() const override;
};

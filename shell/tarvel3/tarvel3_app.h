// The Tarvel3 application: the DES and hash test program.
#pragma once

#include "platform/app.h"

class CTarvel3App : public CWinApp {
public:
    CTarvel3App();

    BOOL InitInstance() override;

    void OnAppAbout();
};

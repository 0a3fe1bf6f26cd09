// The Tarvel2 application: the RSA test program.
#pragma once

#include "platform/app.h"

class CTarvel2App : public CWinApp {
public:
    CTarvel2App();

    BOOL InitInstance() override;

    void OnAppAbout();
};

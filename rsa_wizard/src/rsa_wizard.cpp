#include "rsa_wizard/rsa_wizard.h"

void RunRsaWizard(CWnd*) {}

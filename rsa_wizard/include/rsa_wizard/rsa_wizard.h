// The "RSA Wizard": builds the sheet with its four pages and runs it modally.
#pragma once

class CWnd;

void RunRsaWizard(CWnd* pParentView);

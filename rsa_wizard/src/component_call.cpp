#include "rsa_wizard/component_call.h"

#include "framework/prompts.h"

CString FailedCallText(const char* operation, HRESULT status)
{
    CString text;
    text.Format("%s failed (0x%08X)", operation, static_cast<unsigned>(status));
    return text;
}

CString WizardFailureText(const harness::CallFailure& failure)
{
    if (!failure.reason.empty())
        return CString(failure.reason);
    return FailedCallText(failure.call.c_str(), failure.status);
}

void ReportFailure(const harness::CallFailure& failure)
{
    AfxMessageBox(WizardFailureText(failure));
}

CString NoRsaObjectText(const std::string& creationError)
{
    if (creationError.empty())
        return kNoRsaObjectText;
    return CString(kNoRsaObjectText) + "\n" + CString(creationError);
}

#include "rsa_wizard/component_call.h"

#include "harness/failure_text.h"

#include "framework/prompts.h"

void ReportFailure(const harness::CallFailure& failure)
{
    AfxMessageBox(CString(harness::FailureText(failure)));
}

CString NoRsaObjectText(const std::string& creationError)
{
    if (creationError.empty())
        return kNoRsaObjectText;
    return CString(kNoRsaObjectText) + "\n" + CString(creationError);
}

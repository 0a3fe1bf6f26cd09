#include "failure_text.h"

CString CallFailedText(const char* call, HRESULT status)
{
    CString text;
    text.Format("%s failed (status 0x%08X).", call, static_cast<unsigned>(status));
    return text;
}

CString TestFailureText(const harness::CallFailure& failure)
{
    if (!failure.reason.empty())
        return CString(failure.reason);
    return CallFailedText(failure.call.c_str(), failure.status);
}

CString NoObjectText(const char* interfaceName, const std::string& creationError)
{
    CString text;
    if (creationError.empty())
        text.Format("The %s object could not be created, so there is nothing to test.", interfaceName);
    else
        text.Format("The %s object could not be created, so there is nothing to test.\n%s", interfaceName,
                    creationError.c_str());
    return text;
}

#include "test_object.h"

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

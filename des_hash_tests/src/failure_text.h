// The texts the test dialogs show when the component lets them down.
#pragma once

#include "platform/cstring.h"

#include <string>
#include <tarvel/com.h>

// "IUserDES::Encrypt failed (status 0x80004005)."
CString CallFailedText(const char* call, HRESULT status);

// Said by a command that needs the object the dialog could not create;
// creationError is the binding's reason, if it gave one.
CString NoObjectText(const char* interfaceName, const std::string& creationError);

// The texts the test dialogs show when the component lets them down.
#pragma once

#include "harness/outcome.h"

#include "runtime/cstring.h"

#include <string>
#include <tarvel/com.h>

// "IUserDES::Encrypt failed (status 0x80004005)."
CString CallFailedText(const char* call, HRESULT status);

// What the user is told of failure: the reason when there is one, otherwise
// the failing call and its status.
CString TestFailureText(const harness::CallFailure& failure);

// Said by a command that needs the object the dialog could not create;
// creationError is the binding's reason, if it gave one.
CString NoObjectText(const char* interfaceName, const std::string& creationError);

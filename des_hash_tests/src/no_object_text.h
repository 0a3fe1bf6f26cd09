// What a test dialog says when it has no component object to test; a failed
// call is told by harness::FailureText.
#pragma once

#include "runtime/cstring.h"

#include <string>

// Said by a command that needs the object the dialog could not create;
// creationError is the binding's reason, if it gave one.
CString NoObjectText(const char* interfaceName, const std::string& creationError);

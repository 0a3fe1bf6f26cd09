// How the RSA Wizard tells a failed component call: always to the user,
// naming the operation and its status, never shown as a result.
#pragma once

#include "harness/outcome.h"

#include "runtime/cstring.h"

#include <string>

// Shows harness::FailureText(failure) in a message box.
void ReportFailure(const harness::CallFailure& failure);

// The text the pages show when page 1 has no object to work with.
inline constexpr const char* kNoRsaObjectText = "No RSA object could be created";

// kNoRsaObjectText, followed on a line of its own by the binding's reason
// when creation was attempted and gave one.
CString NoRsaObjectText(const std::string& creationError);

// The one way a failed component call is told, in both programs:
//   "GenerateKey failed: invalid argument (0x80070057)"
//   "IUserDES::Encrypt failed (0x12345678)"      (a status we have no name for)
#pragma once

#include "harness/outcome.h"

#include <string>
#include <string_view>

namespace harness {

// A few words for a status the component or the loader is known to return
// ("invalid argument"), or nullptr for any other.
const char* StatusMeaning(HRESULT status);

// "<call> failed: <meaning> (0x%08X)", or "<call> failed (0x%08X)" when the
// status has no known meaning.
std::string FailedCallText(std::string_view call, HRESULT status);

// What the user is told of failure: its reason when there is one, otherwise
// FailedCallText of the failing call and its status.
std::string FailureText(const CallFailure& failure);

}  // namespace harness

// The slots neither program calls. An E_NOTIMPL from one of them leaves the
// programs whole, so it breaks only a recommended rule.
#pragma once

#include <string_view>
#include <vector>

namespace checks {

// "IUserRSA::GetCode", ...: every slot no program calls.
const std::vector<std::string_view>& UnusedSlots();

// True when a call text ("IUserRSA::GetCode with a null buffer") starts with
// a slot no program calls.
bool IsUnusedSlotCall(std::string_view call);

}  // namespace checks

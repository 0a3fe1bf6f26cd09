#include "rules/unused_slots.h"

namespace checks {

const std::vector<std::string_view>& UnusedSlots()
{
    static const std::vector<std::string_view> slots = {
        "IHashSHA1::GetHashSize", "IHashMD5::GetHashSize", "IUserDES::GetKey", "IUserRSA::GetUserId",
        "IUserRSA::GetCode",      "IUserRSA::LoadAsyFile", "DllCanUnloadNow",
    };
    return slots;
}

bool IsUnusedSlotCall(std::string_view call)
{
    for (const std::string_view slot : UnusedSlots())
        if (call.substr(0, slot.size()) == slot &&
            (call.size() == slot.size() || call[slot.size()] == ' ' || call[slot.size()] == '('))
            return true;
    return false;
}

}  // namespace checks

#include "harness/rsa_key.h"

#include "runtime/runtime.h"

namespace harness {
namespace {

struct CopyRow {
    const char* getterName;
    KeyNumberGetter getter;
    const char* setterName;
    KeyNumberSetter setter;
};

constexpr CopyRow kCopyRows[] = {
    {"GetBase", &IUserRSA::GetBase, "SetBase", &IUserRSA::SetBase},
    {"GetPublicKey", &IUserRSA::GetPublicKey, "SetPublicKey", &IUserRSA::SetPublicKey},
    {"GetPrivateKey", &IUserRSA::GetPrivateKey, "SetPrivateKey", &IUserRSA::SetPrivateKey},
    {"GetKeyPart4", &IUserRSA::GetKeyPart4, "SetKeyPart4", &IUserRSA::SetKeyPart4},
    {"GetKeyPart5", &IUserRSA::GetKeyPart5, "SetKeyPart5", &IUserRSA::SetKeyPart5},
    {"GetKeyPart6", &IUserRSA::GetKeyPart6, "SetKeyPart6", &IUserRSA::SetKeyPart6},
    {"GetKeyPart7", &IUserRSA::GetKeyPart7, "SetKeyPart7", &IUserRSA::SetKeyPart7},
    {"GetKeyPart8", &IUserRSA::GetKeyPart8, "SetKeyPart8", &IUserRSA::SetKeyPart8},
};

// The copy is marked as such, whoever the key was made for.
constexpr char kCopyCode[] = "60418";
constexpr char kCopyUserId[] = "Second";

}  // namespace

Result<std::uint32_t> GenerateKeyTimed(IUserRSA& rsa, const char* userId, std::uint32_t keyWords)
{
    const std::uint32_t start = GetTickCount();
    const HRESULT status = rsa.GenerateKey(userId, keyWords);
    const std::uint32_t end = GetTickCount();
    if (FAILED(status))
        return FailedStatus("GenerateKey", status);
    return end - start;
}

Result<Done> CopyKey(IUserRSA& source, IUserRSA& target)
{
    if (const HRESULT hr = target.Clear(); FAILED(hr))
        return FailedStatus("Clear", hr);
    for (const CopyRow& row : kCopyRows) {
        std::uint32_t count = 0;
        const auto number = ReadKeyNumber(source, row.getter, row.getterName, count);
        if (!number)
            return number.Failure();
        if (const HRESULT hr = (target.*row.setter)(number->data(), count); FAILED(hr))
            return FailedStatus(row.setterName, hr);
    }
    if (const HRESULT hr = target.SetCode(kCopyCode, sizeof kCopyCode - 1); FAILED(hr))
        return FailedStatus("SetCode", hr);
    if (const HRESULT hr = target.SetUserId(kCopyUserId, sizeof kCopyUserId - 1); FAILED(hr))
        return FailedStatus("SetUserId", hr);
    return Done{};
}

DisplayedKey FetchDisplayedKey(IUserRSA& rsa)
{
    DisplayedKey shown;
    struct Row {
        const char* getterName;
        KeyNumberGetter getter;
        std::optional<std::vector<std::uint32_t>>& number;
    };
    const Row rows[] = {
        {"GetBase", &IUserRSA::GetBase, shown.base},
        {"GetPublicKey", &IUserRSA::GetPublicKey, shown.publicKey},
        {"GetPrivateKey", &IUserRSA::GetPrivateKey, shown.privateKey},
    };
    // One count for all rows: each size query starts from what the row
    // before left in it, which the component ignores.
    std::uint32_t count = 0;
    for (const Row& row : rows) {
        auto number = ReadKeyNumber(rsa, row.getter, row.getterName, count);
        if (!number) {
            shown.failure = number.Failure();
            break;
        }
        row.number = std::move(number.Value());
    }
    return shown;
}

}  // namespace harness

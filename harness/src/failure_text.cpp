#include "harness/failure_text.h"

#include "runtime/object_binding.h"

namespace harness {

namespace {

// Statuses that the interface does not define but a component may still
// return; named here only to be told by name.
constexpr HRESULT kAccessDenied = static_cast<HRESULT>(0x80070005u);  // E_ACCESSDENIED
constexpr HRESULT kUnexpected = static_cast<HRESULT>(0x8000FFFFu);    // E_UNEXPECTED

struct KnownStatus {
    HRESULT status;
    const char* meaning;
};

constexpr KnownStatus kKnownStatuses[] = {
    {E_INVALIDARG, "invalid argument"},
    {E_FAIL, "unspecified failure"},
    {E_NOTIMPL, "not implemented"},
    {E_OUTOFMEMORY, "out of memory"},
    {E_POINTER, "invalid pointer"},
    {E_NOINTERFACE, "interface not supported"},
    {kUnexpected, "unexpected failure"},
    {kAccessDenied, "access denied"},
    {CLASS_E_NOAGGREGATION, "aggregation not supported"},
    {CLASS_E_CLASSNOTAVAILABLE, "class not available"},
    {REGDB_E_CLASSNOTREG, "class not registered"},
};

}  // namespace

const char* StatusMeaning(HRESULT status)
{
    for (const KnownStatus& known : kKnownStatuses)
        if (known.status == status)
            return known.meaning;
    return nullptr;
}

std::string FailedCallText(std::string_view call, HRESULT status)
{
    std::string text(call);
    text += " failed";
    if (const char* meaning = StatusMeaning(status)) {
        text += ": ";
        text += meaning;
    }
    text += " (" + StatusCode(status) + ")";
    return text;
}

std::string FailureText(const CallFailure& failure)
{
    if (!failure.reason.empty())
        return failure.reason;
    return FailedCallText(failure.call, failure.status);
}

}  // namespace harness

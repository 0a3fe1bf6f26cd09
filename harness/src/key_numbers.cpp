#include "harness/key_numbers.h"

#include <algorithm>
#include <cstdio>

namespace harness {

MaybeFailure CheckCount(std::uint32_t count, std::uint32_t limit, const char* call)
{
    if (count <= limit)
        return std::nullopt;
    char reason[160];
    std::snprintf(reason, sizeof reason, "%s reported %u words, more than the %u it may give", call, count, limit);
    return UnusableResult(call, reason);
}

Result<std::vector<std::uint32_t>> ReadKeyNumber(IUserRSA& rsa, KeyNumberGetter getter, const char* getterName,
                                                 std::uint32_t& count)
{
    if (const HRESULT hr = (rsa.*getter)(nullptr, &count); FAILED(hr))
        return FailedStatus(getterName, hr);
    if (MaybeFailure unbelievable = CheckCount(count, kMostWordsBelieved, getterName))
        return *unbelievable;
    const std::uint32_t capacity = count;
    // At least one word, so that even an empty number goes out as a buffer
    // and not as another size query.
    std::vector<std::uint32_t> words(std::max<std::uint32_t>(capacity, 1), 0);
    if (const HRESULT hr = (rsa.*getter)(words.data(), &count); FAILED(hr))
        return FailedStatus(getterName, hr);
    if (MaybeFailure unbelievable = CheckCount(count, capacity, getterName))
        return *unbelievable;
    words.resize(count);
    return words;
}

}  // namespace harness

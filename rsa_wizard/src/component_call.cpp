#include "rsa_wizard/component_call.h"

#include "platform/prompts.h"

#include <algorithm>

CString FailedCallText(const char* operation, HRESULT status)
{
    CString text;
    text.Format("%s failed (0x%08X)", operation, static_cast<unsigned>(status));
    return text;
}

bool CheckCall(HRESULT status, const char* operation)
{
    if (SUCCEEDED(status))
        return true;
    AfxMessageBox(FailedCallText(operation, status));
    return false;
}

bool CheckCount(std::uint32_t count, std::uint32_t limit, const char* operation)
{
    if (count <= limit)
        return true;
    CString text;
    text.Format("%s reported %u words, more than the %u it may give", operation, count, limit);
    AfxMessageBox(text);
    return false;
}

std::optional<std::vector<std::uint32_t>> ReadKeyNumber(IUserRSA& rsa, KeyNumberGetter getter,
                                                        const char* getterName, std::uint32_t& count)
{
    if (!CheckCall((rsa.*getter)(nullptr, &count), getterName) || !CheckCount(count, kMaxNumberWords, getterName))
        return std::nullopt;
    const std::uint32_t capacity = count;
    // At least one word, so that even an empty number goes out as a buffer
    // and not as another size query.
    std::vector<std::uint32_t> words(std::max<std::uint32_t>(capacity, 1), 0);
    if (!CheckCall((rsa.*getter)(words.data(), &count), getterName) || !CheckCount(count, capacity, getterName))
        return std::nullopt;
    words.resize(count);
    return words;
}

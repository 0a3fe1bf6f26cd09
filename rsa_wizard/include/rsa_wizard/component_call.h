// Checked calls on an RSA object: a failing call is always reported to the
// user, naming the operation and its status, and never shown as a result.
#pragma once

#include "platform/cstring.h"

#include <tarvel/crypto.h>

#include <cstdint>
#include <optional>
#include <vector>

// No number the harness handles is longer than this; a component reporting
// more is not believed.
inline constexpr std::uint32_t kMaxNumberWords = 1u << 20;

// "GenerateKey failed (0x80070057)".
CString FailedCallText(const char* operation, HRESULT status);

// TRUE when status is a success; otherwise reports it and returns FALSE.
bool CheckCall(HRESULT status, const char* operation);

// Reports a count the component gave for a number that cannot be trusted:
// beyond kMaxNumberWords, or beyond the buffer that was handed over.
bool CheckCount(std::uint32_t count, std::uint32_t limit, const char* operation);

using KeyNumberGetter = HRESULT (IUserRSA::*)(std::uint32_t* words, std::uint32_t* count);
using KeyNumberSetter = HRESULT (IUserRSA::*)(const std::uint32_t* words, std::uint32_t count);

// Reads one number of the key: a size query, then the number into a
// zero-filled buffer of that size. count is the caller's variable: the size
// query starts from whatever it holds, and it ends holding the words written.
// Every failure is reported; the result is then empty.
std::optional<std::vector<std::uint32_t>> ReadKeyNumber(IUserRSA& rsa, KeyNumberGetter getter,
                                                        const char* getterName, std::uint32_t& count);

// The text the pages show when page 1 has no object to work with.
inline constexpr const char* kNoRsaObjectText = "No RSA object could be created";

// The fake crypto component's control surface.
//
// The fake is a test-only component library that serves the four crypto
// classes deterministically and records every call it receives. Tests reach it
// through the C functions below, resolved with dlsym on the same library path
// that CoCreateInstance loads (dlopen of one path returns one handle, so the
// state is shared). Most tests use the C++ wrapper FakeComponent in
// tests/support/fake_component.h instead of calling these directly.
//
// What the fake does when nothing is switched to fail:
//   IUserRSA  GenerateKey(id, k) stores eight numbers given by FakeKeyWord()
//             (base: k words with the top bit set; public key: 1 word; private
//             key: k words; parts 4-8: (k + 1) / 2 words each), the user id and
//             the code "fake-code-<k>". k must be 1..256, else E_INVALIDARG.
//             Getters follow the protocol: a null buffer reports the count
//             needed; a buffer takes *count as capacity, a short capacity gives
//             E_INVALIDARG and writes nothing. Setters, SetUserId and SetCode
//             store. GetKeyLength reports the base's word count.
//             Encrypt needs a key, exactly key-length input words below the
//             base and an output capacity of at least the key length; it and
//             Decrypt XOR every word with kFakeRsaMask, so Decrypt(Encrypt(x))
//             == x. Decrypt does not compare with the base.
//             Save*File record the path and write nothing unless
//             fake_set_write_files(1): then they write one line naming the
//             kind of file. LoadAsyFile answers E_NOTIMPL.
//   IUserDES  SetKey stores two words; Encrypt and Decrypt XOR the block with
//             the key (so they undo each other); without a key they fail.
//   IHashSHA1 / IHashMD5  HashData remembers the byte count and FakeChecksum of
//             the data; GetHash writes FakeDigestByte(i, ...) for every byte i
//             and fails before any HashData.
// Objects are numbered 1, 2, 3... in order of successful creation since the
// last reset, across all four classes. QueryInterface and AddRef are recorded
// as calls; Release is only counted (see fake_releases_of). Objects are kept in
// memory after their last Release until the next reset, so a call through a
// released pointer is counted (fake_calls_after_release) instead of crashing.
#pragma once

#include <tarvel/com.h>

#include <cstddef>
#include <cstdint>

extern "C" {

// Forgets every recorded call, every switch and every released object, and
// restarts object numbering at 1. Objects still alive are kept but become
// invisible: their calls are no longer recorded or counted.
void fake_reset(void);

// Number of calls recorded since the reset.
int fake_call_count(void);

// Serialises call number index (0 = oldest) into buffer and returns its length
// in bytes, or 0 for an index out of range. When capacity is not larger than
// the length nothing is written; ask with capacity 0 first. The record is a run
// of fields, each "<decimal length>:<bytes>": object, result (decimal
// HRESULT), method, argument count, then name and value of each argument, then
// the count of outputs, then name and value of each output.
std::size_t fake_call_record(int index, char* buffer, std::size_t capacity);

// Creation switches. nth counts CreateInstance calls for the class since the
// switch was set (1 = the next one); 0 means every one.
void fake_fail_creation(const GUID* clsid, int nth, HRESULT hr);
// DllGetClassObject refuses the class with hr.
void fake_refuse_class(const GUID* clsid, HRESULT hr);

// The method (by name, e.g. "Encrypt", "GetBase") returns hr without any
// effect. object 0 matches every object; nth counts matching calls since the
// switch was set (1 = the next one), 0 means every one. The call is still
// recorded, with hr as its result.
void fake_fail_method(const char* method, HRESULT hr, int object, int nth);

// Makes a counting method report count:
//   GetKeyLength            reports count;
//   GetBase ... GetKeyPart8 behave as if the number had count words
//                           (truncated, or extended with zero words);
//   Encrypt, Decrypt        write min(count, capacity) words and set
//                           *outWords = count even beyond the capacity, as a
//                           careless component would.
void fake_set_reported_count(const char* method, std::uint32_t count);

// Save*File write a one-line marker file when enabled (default off).
void fake_set_write_files(int enabled);

// Objects created since the reset and not yet released to zero.
int fake_live_objects(void);
// Objects created since the reset.
int fake_created_objects(void);
// Release calls received by an object (1 for an object released exactly once).
int fake_releases_of(int object);
// Calls of any method on an object whose count had already dropped to zero.
int fake_calls_after_release(void);
// Interface name of an object ("IUserRSA", ...); 0 length for an unknown one.
// Same buffer protocol as fake_call_record.
std::size_t fake_object_interface(int object, char* buffer, std::size_t capacity);

}  // extern "C"

// The deterministic values, shared by the fake and the tests that predict it.
inline constexpr std::uint32_t kFakeRsaMask = 0x5A5A5A5Au;

// Word count of key number part (1 = base ... 8 = part 8) for a key of
// keyWords words.
constexpr std::uint32_t FakeKeyWords(int part, std::uint32_t keyWords)
{
    if (part == 2)
        return 1;
    if (part == 1 || part == 3)
        return keyWords;
    return (keyWords + 1) / 2;
}

// Word index of key number part of a key of keyWords words.
constexpr std::uint32_t FakeKeyWord(int part, std::uint32_t keyWords, std::uint32_t index)
{
    if (part == 2)
        return 65537u;
    std::uint32_t word = (static_cast<std::uint32_t>(part) << 24) | ((keyWords & 0xFFFu) << 12) | (index & 0xFFFu);
    if (part == 1 && index + 1 == keyWords)
        word |= 0x80000000u;
    return word;
}

// FNV-1a over the data.
constexpr std::uint32_t FakeChecksum(const std::uint8_t* data, std::uint32_t bytes)
{
    std::uint32_t hash = 2166136261u;
    for (std::uint32_t i = 0; i < bytes; ++i)
        hash = (hash ^ data[i]) * 16777619u;
    return hash;
}

constexpr std::uint8_t FakeDigestByte(std::uint32_t index, std::uint32_t bytes, std::uint32_t checksum)
{
    return static_cast<std::uint8_t>(index ^ bytes ^ (checksum >> (8 * (index % 4))));
}

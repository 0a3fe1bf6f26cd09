// The subjects of the DES timing tests: the component's SetKey and Encrypt,
// and its two controls, each drawing its own classes. Each measurement's
// set-up first makes one untimed SetKey and Encrypt on a random key and
// block (the block test keeps its key), whatever the class: a table-based
// DES then finds its tables warm in both classes, where otherwise the weak
// key's few table lines would be warm more often than a random key's many
// whenever the machine's other work evicts lines between calls.
#pragma once

#include "timing/subject.h"

#include <tarvel/crypto.h>

#include <cstdint>
#include <memory>

namespace timing {

enum class DesTest {
    KeySchedule,  // the weak key 01…01 vs random keys, SetKey + Encrypt timed
    KeyEncrypt,   // the same keys, SetKey untimed, Encrypt alone timed
    Block,        // the all-zero block vs random blocks under one key
};

// testSeed gives what the subjects of a test share (the key of the block
// test); streamSeed each subject's own classes and random inputs.
std::unique_ptr<Subject> ComponentDesSubject(IUserDES& des, DesTest test, std::uint64_t testSeed,
                                             std::uint64_t streamSeed);
// OpenSSL's DES with one extra step per set bit in the first two bytes of
// the key and of the block, taken in the encryption: a leak of a few
// nanoseconds, a few percent of the call.
std::unique_ptr<Subject> LeakyDesSubject(DesTest test, std::uint64_t testSeed, std::uint64_t streamSeed);
// A DES without secret-dependent lookups (constant_time_des.h).
std::unique_ptr<Subject> ConstantTimeDesSubject(DesTest test, std::uint64_t testSeed, std::uint64_t streamSeed);

constexpr const char* kLeakyDesDescription =
    "OpenSSL's DES plus one step per set bit in the first two bytes of the key and of the block";
constexpr const char* kConstantTimeDesDescription = "a DES whose S-box lookups read every entry and keep one by masks";

}  // namespace timing

// The SHA-1 test's sequence: a file mapped whole and read-only, handed to the
// component in one HashData call, then GetHash; timed over the size query and
// the two calls.
#pragma once

#include "harness/outcome.h"

#include <tarvel/crypto.h>

#include <array>
#include <cstdint>
#include <string>

namespace harness {

// The 20-byte digest as five words, in the order the component wrote it.
using Sha1Words = std::array<std::uint32_t, kSha1DigestBytes / 4>;

struct FileSha1 {
    Sha1Words digest{};
    std::uint64_t bytes = 0;         // the size that was hashed
    std::uint32_t milliseconds = 0;  // unsigned tick difference
};

// Refuses what cannot be hashed faithfully, each with a sentence for the
// user: a file that cannot be opened or mapped, one of 4 GiB or more (the
// byte count is 32 bits), one that reports no size but has content (kernel
// files), and one that changed while it was hashed (cut short, or its size,
// modification or change time moved), which gives no digest.
Result<FileSha1> Sha1OfFile(IHashSHA1& sha1, const std::string& path);

}  // namespace harness

// The MD5 test's sequence: one HashData over the bytes, then GetHash.
#pragma once

#include "harness/outcome.h"

#include <tarvel/crypto.h>

#include <array>
#include <cstdint>
#include <span>

namespace harness {

// The 16-byte digest as four words, in the order the component wrote it.
using Md5Words = std::array<std::uint32_t, kMd5DigestBytes / 4>;

Result<Md5Words> Md5Of(IHashMD5& md5, std::span<const std::uint8_t> data);

}  // namespace harness

// A DES whose time cannot depend on its key or data: every permutation
// walks fixed bit positions, and every S-box lookup reads the whole box and
// keeps the entry it wants by masks, so no address, branch or shift count
// depends on a secret but the nibble shift, which x86 takes in fixed time.
// A table-based DES (OpenSSL's) is fast but its lookups meet the cache and
// the load ports differently for a fixed key or block than for random
// ones: a few-cycle difference that shows as |t| of a few after 200 000
// calls on a quiet machine and crosses the line now and then under another
// process's load. As the timing tests' constant-time control it must not.
#pragma once

#include <array>
#include <cstdint>

namespace timing {

class ConstantTimeDes {
public:
    void SetKey(const std::uint8_t key[8]);
    void Encrypt(const std::uint8_t in[8], std::uint8_t out[8]) const;

private:
    std::array<std::uint64_t, 16> m_subkeys{};  // 48 bits each
};

}  // namespace timing

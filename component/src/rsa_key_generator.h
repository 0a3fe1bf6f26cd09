// Fresh RSA keys whose base has exactly 32 * keyWords bits.
#pragma once

#include "rsa_numbers.h"

#include <cstdint>

namespace tarvel::component {

inline constexpr std::uint32_t kMaxKeyWords = 256;

// keyWords must be 1..kMaxKeyWords. Throws on an OpenSSL failure.
RsaNumbers GenerateRsaNumbers(std::uint32_t keyWords);

}  // namespace tarvel::component

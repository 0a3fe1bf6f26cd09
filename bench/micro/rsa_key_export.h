// Our component's RSA key handed to OpenSSL: the eight numbers are read
// through the getters and built into an EVP_PKEY, so both sides of the
// private-operation pair work on the very same key.
#pragma once

#include "openssl_handles.h"

#include <cstdint>
#include <tarvel/crypto.h>
#include <vector>

namespace bench {

using Words = std::vector<std::uint32_t>;

// The number a getter reports (size query first, then the words). Throws
// ComponentError when either call fails.
Words ReadNumber(IUserRSA& rsa, HRESULT (IUserRSA::*getter)(std::uint32_t*, std::uint32_t*), const char* name);

// The held key as an OpenSSL key pair with all eight parameters.
PkeyPtr ExportKey(IUserRSA& rsa);

// A word array (least significant word first) as big-endian bytes of
// exactly `bytes` length, the form OpenSSL's raw RSA takes.
std::vector<unsigned char> ToBigEndian(const Words& words, std::size_t bytes);

}  // namespace bench

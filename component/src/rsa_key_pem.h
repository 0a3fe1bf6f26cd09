// The .wky and .rky key files: PEM texts OpenSSL and other tools read.
#pragma once

#include "openssl_handles.h"

namespace tarvel::component {

// "BEGIN PUBLIC KEY": SubjectPublicKeyInfo. Null on failure.
BioPtr PublicKeyPem(const EVP_PKEY* key);
// "BEGIN PRIVATE KEY": unencrypted PKCS#8, in memory that is wiped when
// freed. Null on failure.
BioPtr PrivateKeyPem(const EVP_PKEY* key);

// The bytes written into a memory BIO so far.
struct BioBytes {
    const unsigned char* data = nullptr;
    std::size_t size = 0;
};
BioBytes ContentsOf(BIO* bio);

}  // namespace tarvel::component

// The .wky and .rky key files: PEM texts OpenSSL and other tools read.
#pragma once

#include "atomic_file.h"
#include "openssl_handles.h"

namespace tarvel::component {

// "BEGIN PUBLIC KEY": SubjectPublicKeyInfo. Null on failure.
BioPtr PublicKeyPem(const EVP_PKEY* key);
// "BEGIN PRIVATE KEY": unencrypted PKCS#8, in memory that is wiped when
// freed. Null on failure.
BioPtr PrivateKeyPem(const EVP_PKEY* key);

// Writes a text made by one of the above to path in one piece (see
// atomic_file.h); E_FAIL when there is no text.
HRESULT SavePem(const char* path, const BioPtr& pem, FileAccess access);

}  // namespace tarvel::component

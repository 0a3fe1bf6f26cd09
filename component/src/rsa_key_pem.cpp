#include "rsa_key_pem.h"

#include <openssl/err.h>
#include <openssl/pem.h>

#include <new>

namespace tarvel::component {
namespace {

BioPtr NewMemoryBio(const BIO_METHOD* method)
{
    BioPtr bio(BIO_new(method));
    if (!bio)
        throw std::bad_alloc();
    return bio;
}

}  // namespace

BioPtr PublicKeyPem(const EVP_PKEY* key)
{
    BioPtr bio = NewMemoryBio(BIO_s_mem());
    if (!key || !PEM_write_bio_PUBKEY(bio.get(), key)) {
        ERR_clear_error();
        return {};
    }
    return bio;
}

BioPtr PrivateKeyPem(const EVP_PKEY* key)
{
    BioPtr bio = NewMemoryBio(BIO_s_secmem());
    if (!key || !PEM_write_bio_PrivateKey(bio.get(), key, nullptr, nullptr, 0, nullptr, nullptr)) {
        ERR_clear_error();
        return {};
    }
    return bio;
}

BioBytes ContentsOf(BIO* bio)
{
    char* data = nullptr;
    const long size = BIO_get_mem_data(bio, &data);
    if (size <= 0 || !data)
        return {};
    return {reinterpret_cast<const unsigned char*>(data), static_cast<std::size_t>(size)};
}

}  // namespace tarvel::component

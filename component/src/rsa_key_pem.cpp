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

HRESULT SavePem(const char* path, const BioPtr& pem, FileAccess access)
{
    char* data = nullptr;
    const long size = pem ? BIO_get_mem_data(pem.get(), &data) : 0;
    if (size <= 0 || !data)
        return E_FAIL;
    return WriteFileAtomically(path, reinterpret_cast<const unsigned char*>(data), static_cast<std::size_t>(size),
                               access);
}

}  // namespace tarvel::component

#include "rsa_key_export.h"

#include "component_object.h"

#include <array>
#include <openssl/core_names.h>
#include <stdexcept>

namespace bench {
namespace {

BignumPtr ToBignum(const Words& words)
{
    BignumPtr number(BN_lebin2bn(reinterpret_cast<const unsigned char*>(words.data()),
                                 static_cast<int>(words.size() * sizeof(std::uint32_t)), nullptr));
    if (!number)
        throw std::runtime_error("BN_lebin2bn failed");
    return number;
}

}  // namespace

Words ReadNumber(IUserRSA& rsa, HRESULT (IUserRSA::*getter)(std::uint32_t*, std::uint32_t*), const char* name)
{
    std::uint32_t count = 0;
    Check((rsa.*getter)(nullptr, &count), name);
    Words words(count);
    Check((rsa.*getter)(words.data(), &count), name);
    words.resize(count);
    return words;
}

PkeyPtr ExportKey(IUserRSA& rsa)
{
    struct Part {
        HRESULT (IUserRSA::*getter)(std::uint32_t*, std::uint32_t*);
        const char* getterName;
        const char* paramName;
    };
    static constexpr std::array<Part, 8> kParts = {{
        {&IUserRSA::GetBase, "GetBase", OSSL_PKEY_PARAM_RSA_N},
        {&IUserRSA::GetPublicKey, "GetPublicKey", OSSL_PKEY_PARAM_RSA_E},
        {&IUserRSA::GetPrivateKey, "GetPrivateKey", OSSL_PKEY_PARAM_RSA_D},
        {&IUserRSA::GetKeyPart4, "GetKeyPart4", OSSL_PKEY_PARAM_RSA_FACTOR1},
        {&IUserRSA::GetKeyPart5, "GetKeyPart5", OSSL_PKEY_PARAM_RSA_FACTOR2},
        {&IUserRSA::GetKeyPart6, "GetKeyPart6", OSSL_PKEY_PARAM_RSA_EXPONENT1},
        {&IUserRSA::GetKeyPart7, "GetKeyPart7", OSSL_PKEY_PARAM_RSA_EXPONENT2},
        {&IUserRSA::GetKeyPart8, "GetKeyPart8", OSSL_PKEY_PARAM_RSA_COEFFICIENT1},
    }};

    ParamBldPtr build(OSSL_PARAM_BLD_new());
    if (!build)
        throw std::runtime_error("OSSL_PARAM_BLD_new failed");
    // The builder refers to the numbers until the parameters are made.
    std::array<BignumPtr, 8> numbers;
    for (std::size_t i = 0; i < kParts.size(); ++i) {
        numbers[i] = ToBignum(ReadNumber(rsa, kParts[i].getter, kParts[i].getterName));
        if (!OSSL_PARAM_BLD_push_BN(build.get(), kParts[i].paramName, numbers[i].get()))
            throw std::runtime_error("OSSL_PARAM_BLD_push_BN failed");
    }
    ParamPtr params(OSSL_PARAM_BLD_to_param(build.get()));
    PkeyCtxPtr ctx(EVP_PKEY_CTX_new_from_name(nullptr, "RSA", nullptr));
    if (!params || !ctx || EVP_PKEY_fromdata_init(ctx.get()) <= 0)
        throw std::runtime_error("preparing EVP_PKEY_fromdata failed");
    EVP_PKEY* key = nullptr;
    if (EVP_PKEY_fromdata(ctx.get(), &key, EVP_PKEY_KEYPAIR, params.get()) <= 0)
        throw std::runtime_error("EVP_PKEY_fromdata refused the component's key");
    return PkeyPtr(key);
}

std::vector<unsigned char> ToBigEndian(const Words& words, std::size_t bytes)
{
    std::vector<unsigned char> out(bytes, 0);
    for (std::size_t i = 0; i < bytes && i / 4 < words.size(); ++i)
        out[bytes - 1 - i] = static_cast<unsigned char>(words[i / 4] >> (8 * (i % 4)));
    return out;
}

}  // namespace bench

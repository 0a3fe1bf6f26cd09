#include "component_objects.h"

#include <runtime/object_binding.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

namespace {

template <class Interface>
ComPtr<Interface> Create(const CLSID& clsid, const IID& iid)
{
    ComPtr<Interface> object;
    const HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, iid, object.Put());
    if (FAILED(hr) || !object)
        throw std::runtime_error("cannot create a component object: " + CoLastErrorText());
    return object;
}

}  // namespace

ComPtr<IUserRSA> NewRsa()
{
    return Create<IUserRSA>(CLSID_UserRSA, IID_IUserRSA);
}
ComPtr<IUserDES> NewDes()
{
    return Create<IUserDES>(CLSID_UserDES, IID_IUserDES);
}
ComPtr<IHashSHA1> NewSha1()
{
    return Create<IHashSHA1>(CLSID_HashSHA1, IID_IHashSHA1);
}
ComPtr<IHashMD5> NewMd5()
{
    return Create<IHashMD5>(CLSID_HashMD5, IID_IHashMD5);
}

const RsaGetter kRsaGetters[8] = {&IUserRSA::GetBase,     &IUserRSA::GetPublicKey, &IUserRSA::GetPrivateKey,
                                  &IUserRSA::GetKeyPart4, &IUserRSA::GetKeyPart5,  &IUserRSA::GetKeyPart6,
                                  &IUserRSA::GetKeyPart7, &IUserRSA::GetKeyPart8};
const RsaSetter kRsaSetters[8] = {&IUserRSA::SetBase,     &IUserRSA::SetPublicKey, &IUserRSA::SetPrivateKey,
                                  &IUserRSA::SetKeyPart4, &IUserRSA::SetKeyPart5,  &IUserRSA::SetKeyPart6,
                                  &IUserRSA::SetKeyPart7, &IUserRSA::SetKeyPart8};

Bn BnFromWords(const std::vector<std::uint32_t>& words)
{
    Bn number(BN_new());
    for (std::size_t i = words.size(); i-- > 0;) {
        BN_lshift(number.get(), number.get(), 32);
        BN_add_word(number.get(), words[i]);
    }
    return number;
}

std::vector<std::uint32_t> WordsFromBn(const BIGNUM* number, std::uint32_t count)
{
    std::vector<std::uint32_t> words(count);
    Bn rest(BN_dup(number));
    for (auto& word : words) {
        word = static_cast<std::uint32_t>(BN_mod_word(rest.get(), 0x100000000ULL));
        BN_rshift(rest.get(), rest.get(), 32);
    }
    if (!BN_is_zero(rest.get()))
        throw std::length_error("number does not fit the words");
    return words;
}

Bn BnFromDec(const char* decimal)
{
    BIGNUM* number = nullptr;
    BN_dec2bn(&number, decimal);
    return Bn(number);
}

std::vector<std::uint32_t> ReadPart(IUserRSA* rsa, RsaGetter getter)
{
    std::uint32_t count = 12345;
    EXPECT_EQ((rsa->*getter)(nullptr, &count), S_OK);
    std::vector<std::uint32_t> words(count);
    std::uint32_t capacity = count;
    EXPECT_EQ((rsa->*getter)(words.data(), &capacity), S_OK);
    EXPECT_EQ(capacity, count);
    return words;
}

HRESULT WritePart(IUserRSA* rsa, RsaSetter setter, const std::vector<std::uint32_t>& words)
{
    return (rsa->*setter)(words.data(), static_cast<std::uint32_t>(words.size()));
}

Bn ReadPartBn(IUserRSA* rsa, RsaGetter getter)
{
    return BnFromWords(ReadPart(rsa, getter));
}

Bn Apply(IUserRSA* rsa, bool encrypt, const BIGNUM* input, std::uint32_t keyWords)
{
    const std::vector<std::uint32_t> in = WordsFromBn(input, keyWords);
    std::vector<std::uint32_t> out(keyWords, 0xDEADBEEF);
    std::uint32_t outWords = keyWords;
    const HRESULT hr = encrypt ? rsa->Encrypt(in.data(), keyWords, out.data(), &outWords)
                               : rsa->Decrypt(in.data(), keyWords, out.data(), &outWords);
    EXPECT_EQ(hr, S_OK);
    EXPECT_EQ(outWords, keyWords);
    return BnFromWords(out);
}

// One DES block as the DES dialog does it (SetKey, Encrypt, Decrypt) against
// the same three steps through OpenSSL's DES functions. Single DES exists only
// in OpenSSL's deprecated interface, so this file alone allows it.
#define OPENSSL_SUPPRESS_DEPRECATED

#include "component_object.h"

#include <array>
#include <cstring>
#include <openssl/des.h>

namespace bench {
namespace {

// Key and block are the 8 bytes of two words in memory order.
constexpr std::array<std::uint32_t, 2> kKey = {0x79573413u, 0xF1DFBC9Bu};
constexpr std::array<std::uint32_t, 2> kBlock = {0x67452301u, 0xEFCDAB89u};

std::array<std::uint32_t, 2> OpenSslEncrypt(const std::array<std::uint32_t, 2>& key,
                                            const std::array<std::uint32_t, 2>& block)
{
    DES_cblock keyBytes;
    std::memcpy(keyBytes, key.data(), sizeof keyBytes);
    DES_key_schedule schedule;
    DES_set_key_unchecked(&keyBytes, &schedule);
    DES_cblock in, out;
    std::memcpy(in, block.data(), sizeof in);
    DES_ecb_encrypt(&in, &out, &schedule, DES_ENCRYPT);
    std::array<std::uint32_t, 2> result{};
    std::memcpy(result.data(), out, sizeof out);
    return result;
}

void DesBlockComponent(benchmark::State& state)
{
    Guarded(state, [&] {
        auto des = CreateObject<IUserDES>(CLSID_UserDES, IID_IUserDES);
        auto block = kBlock;
        Check(des->SetKey(kKey.data()), "SetKey");
        Check(des->Encrypt(block.data()), "Encrypt");
        if (block != OpenSslEncrypt(kKey, kBlock))
            throw ComponentError("the component's DES ciphertext differs from OpenSSL's");
        block = kBlock;
        for (auto _ : state) {
            Check(des->SetKey(kKey.data()), "SetKey");
            Check(des->Encrypt(block.data()), "Encrypt");
            Check(des->Decrypt(block.data()), "Decrypt");
            benchmark::DoNotOptimize(block.data());
            benchmark::ClobberMemory();
        }
        if (block != kBlock)
            throw ComponentError("the component's DES round trip lost the block");
    });
}

void DesBlockOpenSsl(benchmark::State& state)
{
    DES_cblock key, block, cipher;
    std::memcpy(key, kKey.data(), sizeof key);
    std::memcpy(block, kBlock.data(), sizeof block);
    DES_key_schedule schedule;
    for (auto _ : state) {
        DES_set_key_unchecked(&key, &schedule);
        DES_ecb_encrypt(&block, &cipher, &schedule, DES_ENCRYPT);
        DES_ecb_encrypt(&cipher, &block, &schedule, DES_DECRYPT);
        benchmark::DoNotOptimize(block);
        benchmark::ClobberMemory();
    }
}

}  // namespace
}  // namespace bench

BENCHMARK(bench::DesBlockComponent)->Name("des_block/component")->UseRealTime();
BENCHMARK(bench::DesBlockOpenSsl)->Name("des_block/openssl")->UseRealTime();

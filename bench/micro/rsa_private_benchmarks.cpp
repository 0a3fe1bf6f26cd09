// The raw RSA private operation (Decrypt) on a key our component generated,
// against EVP_PKEY_decrypt without padding on the same key exported to
// OpenSSL. Both sides must give the same result before anything is timed.
#include "component_object.h"
#include "rsa_key_export.h"

#include <map>
#include <memory>
#include <openssl/crypto.h>
#include <openssl/rsa.h>
#include <stdexcept>

namespace bench {
namespace {

struct RsaFixture {
    std::uint32_t words = 0;
    ComPtr<IUserRSA> rsa;
    PkeyPtr key;
    PkeyCtxPtr decrypt;
    Words input;                            // below the base
    std::vector<unsigned char> inputBytes;  // the same number, big-endian
};

Words InputBelow(const Words& base)
{
    Words input(base.size());
    std::uint32_t state = 0x12345678u;
    for (auto& word : input) {
        state = state * 1664525u + 1013904223u;
        word = state;
    }
    input.back() = base.back() - 1;  // the base's top word has its top bit set
    return input;
}

std::vector<unsigned char> OpenSslPrivateOp(EVP_PKEY_CTX* ctx, const std::vector<unsigned char>& in)
{
    std::vector<unsigned char> out(in.size());
    std::size_t length = out.size();
    if (EVP_PKEY_decrypt(ctx, out.data(), &length, in.data(), in.size()) <= 0 || length != in.size())
        throw std::runtime_error("EVP_PKEY_decrypt failed");
    return out;
}

Words ComponentPrivateOp(IUserRSA& rsa, const Words& in)
{
    Words out(in.size());
    auto count = static_cast<std::uint32_t>(out.size());
    Check(rsa.Decrypt(in.data(), static_cast<std::uint32_t>(in.size()), out.data(), &count), "Decrypt");
    return out;
}

std::unique_ptr<RsaFixture> MakeFixture(std::uint32_t words)
{
    auto fixture = std::make_unique<RsaFixture>();
    fixture->words = words;
    fixture->rsa = CreateObject<IUserRSA>(CLSID_UserRSA, IID_IUserRSA);
    Check(fixture->rsa->GenerateKey("bench", words), "GenerateKey");
    fixture->key = ExportKey(*fixture->rsa.Get());
    fixture->decrypt.reset(EVP_PKEY_CTX_new_from_pkey(nullptr, fixture->key.get(), nullptr));
    if (!fixture->decrypt || EVP_PKEY_decrypt_init(fixture->decrypt.get()) <= 0 ||
        EVP_PKEY_CTX_set_rsa_padding(fixture->decrypt.get(), RSA_NO_PADDING) <= 0)
        throw std::runtime_error("preparing EVP_PKEY_decrypt failed");
    fixture->input = InputBelow(ReadNumber(*fixture->rsa.Get(), &IUserRSA::GetBase, "GetBase"));
    fixture->inputBytes = ToBigEndian(fixture->input, std::size_t{words} * 4);

    const Words ours = ComponentPrivateOp(*fixture->rsa.Get(), fixture->input);
    if (ToBigEndian(ours, std::size_t{words} * 4) != OpenSslPrivateOp(fixture->decrypt.get(), fixture->inputBytes))
        throw ComponentError("the component's private operation differs from OpenSSL's on the same key");
    return fixture;
}

// One key per size for the whole run, shared by both sides of the pair.
RsaFixture& FixtureFor(std::uint32_t words)
{
    struct Cache {
        // Statics end in the reverse order of their making. OpenSSL's exit
        // cleanup and the loaded component library must both outlive the
        // keys, so both are set up before this cache exists.
        Cache()
        {
            OPENSSL_init_crypto(0, nullptr);
            AfxOleInit();
        }
        std::map<std::uint32_t, std::unique_ptr<RsaFixture>> fixtures;
    };
    static Cache cache;
    auto& slot = cache.fixtures[words];
    if (!slot)
        slot = MakeFixture(words);
    return *slot;
}

void RsaPrivateComponent(benchmark::State& state)
{
    Guarded(state, [&] {
        RsaFixture& fixture = FixtureFor(static_cast<std::uint32_t>(state.range(0)));
        Words out(fixture.words);
        for (auto _ : state) {
            std::uint32_t count = fixture.words;
            Check(fixture.rsa->Decrypt(fixture.input.data(), fixture.words, out.data(), &count), "Decrypt");
            benchmark::DoNotOptimize(out.data());
            benchmark::ClobberMemory();
        }
    });
}

void RsaPrivateOpenSsl(benchmark::State& state)
{
    Guarded(state, [&] {
        RsaFixture& fixture = FixtureFor(static_cast<std::uint32_t>(state.range(0)));
        std::vector<unsigned char> out(fixture.inputBytes.size());
        for (auto _ : state) {
            std::size_t length = out.size();
            if (EVP_PKEY_decrypt(fixture.decrypt.get(), out.data(), &length, fixture.inputBytes.data(),
                                 fixture.inputBytes.size()) <= 0)
                throw std::runtime_error("EVP_PKEY_decrypt failed");
            benchmark::DoNotOptimize(out.data());
            benchmark::ClobberMemory();
        }
    });
}

}  // namespace
}  // namespace bench

BENCHMARK(bench::RsaPrivateComponent)
    ->Name("rsa_private/component")
    ->Arg(16)
    ->Arg(64)
    ->Arg(128)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();
BENCHMARK(bench::RsaPrivateOpenSsl)
    ->Name("rsa_private/openssl")
    ->Arg(16)
    ->Arg(64)
    ->Arg(128)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

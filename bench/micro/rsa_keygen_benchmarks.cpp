// RSA key generation: the component's GenerateKey against EVP_PKEY key
// generation at the same modulus size. One key per repetition, so every key
// is one sample and the spread (10th and 90th percentile) comes out beside
// the median.
#include "component_object.h"
#include "openssl_handles.h"
#include "percentile.h"

#include <cstdlib>
#include <openssl/rsa.h>
#include <stdexcept>
#include <string>

namespace bench {
namespace {

// Keys per size; the large sizes take seconds per key, so fewer of them.
// TARVEL_BENCH_KEYS overrides all four (quick trial runs).
struct KeySize {
    int words;
    int keys;
};
constexpr KeySize kSizes[] = {{16, 401}, {32, 401}, {64, 51}, {128, 31}};

int KeysFor(const KeySize& size)
{
    if (const char* text = std::getenv("TARVEL_BENCH_KEYS"); text && std::atoi(text) > 0)
        return std::atoi(text);
    return size.keys;
}

void KeygenComponent(benchmark::State& state, int words)
{
    Guarded(state, [&] {
        auto rsa = CreateObject<IUserRSA>(CLSID_UserRSA, IID_IUserRSA);
        for (auto _ : state)
            Check(rsa->GenerateKey("bench", static_cast<std::uint32_t>(words)), "GenerateKey");
        std::uint32_t count = 0;
        Check(rsa->GetKeyLength(&count), "GetKeyLength");
        if (count != static_cast<std::uint32_t>(words))
            throw ComponentError("GenerateKey made a key of the wrong length");
    });
}

void KeygenOpenSsl(benchmark::State& state, int words)
{
    Guarded(state, [&] {
        PkeyCtxPtr ctx(EVP_PKEY_CTX_new_from_name(nullptr, "RSA", nullptr));
        if (!ctx || EVP_PKEY_keygen_init(ctx.get()) <= 0 ||
            EVP_PKEY_CTX_set_rsa_keygen_bits(ctx.get(), 32 * words) <= 0)
            throw std::runtime_error("preparing EVP_PKEY key generation failed");
        for (auto _ : state) {
            EVP_PKEY* raw = nullptr;
            if (EVP_PKEY_generate(ctx.get(), &raw) <= 0)
                throw std::runtime_error("EVP_PKEY_generate failed");
            PkeyPtr key(raw);
            benchmark::DoNotOptimize(key.get());
        }
    });
}

void Register(const std::string& name, void (*fn)(benchmark::State&, int), const KeySize& size)
{
    benchmark::RegisterBenchmark(name.c_str(), fn, size.words)
        ->Iterations(1)
        ->Repetitions(KeysFor(size))
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->ComputeStatistics("p10", Percentile10)
        ->ComputeStatistics("p90", Percentile90);
}

[[maybe_unused]] const bool g_registered = [] {
    for (const KeySize& size : kSizes) {
        Register("rsa_keygen/component/" + std::to_string(size.words), KeygenComponent, size);
        Register("rsa_keygen/openssl/" + std::to_string(size.words), KeygenOpenSsl, size);
    }
    return true;
}();

}  // namespace
}  // namespace bench

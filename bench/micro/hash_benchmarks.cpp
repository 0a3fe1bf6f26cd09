// SHA-1 of a large mapped file and MD5 of 40 bytes: the component's HashData
// and GetHash against one EVP_Digest over the same bytes. The large one
// measures hashing throughput, the small one the cost of the call path.
#include "component_object.h"
#include "openssl_handles.h"
#include "temp_data_file.h"

#include <array>
#include <cstring>
#include <openssl/evp.h>
#include <stdexcept>

namespace bench {
namespace {

constexpr std::size_t kFileBytes = std::size_t{256} << 20;
constexpr std::size_t kSmallBytes = 40;

const TempDataFile& SharedFile()
{
    static const TempDataFile file(kFileBytes);
    return file;
}

template <std::size_t N>
std::array<std::uint8_t, N> OpenSslDigest(const EVP_MD* md, const std::uint8_t* data, std::size_t bytes)
{
    std::array<std::uint8_t, N> digest{};
    unsigned int length = 0;
    if (!EVP_Digest(data, bytes, digest.data(), &length, md, nullptr) || length != N)
        throw std::runtime_error("EVP_Digest failed");
    return digest;
}

// One HashData + GetHash, then the digest compared with OpenSSL's once per
// data set: a component that is fast but wrong gets no figure.
template <class Interface, std::size_t N>
void ComponentDigest(benchmark::State& state, Interface& hash, const EVP_MD* md, const std::uint8_t* data,
                     std::size_t bytes)
{
    std::array<std::uint8_t, N> digest{};
    Check(hash.HashData(data, static_cast<std::uint32_t>(bytes)), "HashData");
    Check(hash.GetHash(digest.data()), "GetHash");
    if (digest != OpenSslDigest<N>(md, data, bytes))
        throw ComponentError("the component's digest differs from OpenSSL's");
    for (auto _ : state) {
        Check(hash.HashData(data, static_cast<std::uint32_t>(bytes)), "HashData");
        Check(hash.GetHash(digest.data()), "GetHash");
        benchmark::DoNotOptimize(digest.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(bytes));
}

// The component's side reads the data twice before it is timed (its digest
// and OpenSSL's, compared); this side reads it once, so that neither side
// pays for touching pages the other found ready. Where memory is virtualised,
// touching a mapping's pages the first time in a while costs as much as
// hashing them.
template <std::size_t N>
void OpenSslDigestLoop(benchmark::State& state, const EVP_MD* md, const std::uint8_t* data, std::size_t bytes)
{
    std::array<std::uint8_t, N> digest = OpenSslDigest<N>(md, data, bytes);
    unsigned int length = 0;
    for (auto _ : state) {
        if (!EVP_Digest(data, bytes, digest.data(), &length, md, nullptr))
            throw std::runtime_error("EVP_Digest failed");
        benchmark::DoNotOptimize(digest.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(bytes));
}

void Sha1FileComponent(benchmark::State& state)
{
    Guarded(state, [&] {
        const TempDataFile& file = SharedFile();
        auto sha1 = CreateObject<IHashSHA1>(CLSID_HashSHA1, IID_IHashSHA1);
        ComponentDigest<IHashSHA1, kSha1DigestBytes>(state, *sha1.Get(), EVP_sha1(), file.Data(), file.Size());
    });
}

void Sha1FileOpenSsl(benchmark::State& state)
{
    Guarded(state, [&] {
        const TempDataFile& file = SharedFile();
        OpenSslDigestLoop<kSha1DigestBytes>(state, EVP_sha1(), file.Data(), file.Size());
    });
}

std::array<std::uint8_t, kSmallBytes> SmallData()
{
    std::array<std::uint8_t, kSmallBytes> data{};
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<std::uint8_t>(i * 37 + 11);
    return data;
}

void Md5SmallComponent(benchmark::State& state)
{
    Guarded(state, [&] {
        const auto data = SmallData();
        auto md5 = CreateObject<IHashMD5>(CLSID_HashMD5, IID_IHashMD5);
        ComponentDigest<IHashMD5, kMd5DigestBytes>(state, *md5.Get(), EVP_md5(), data.data(), data.size());
    });
}

void Md5SmallOpenSsl(benchmark::State& state)
{
    Guarded(state, [&] {
        const auto data = SmallData();
        OpenSslDigestLoop<kMd5DigestBytes>(state, EVP_md5(), data.data(), data.size());
    });
}

// The same OpenSSL calls the component makes (digest fetched once, one
// context reused), with no interface in between. EVP_Digest fetches the
// digest and makes a context on every call, so only against this reference
// does the difference measure the call path alone.
void Md5SmallOpenSslReusedContext(benchmark::State& state)
{
    Guarded(state, [&] {
        const auto data = SmallData();
        MdPtr md(EVP_MD_fetch(nullptr, "MD5", nullptr));
        MdCtxPtr ctx(EVP_MD_CTX_new());
        if (!md || !ctx)
            throw std::runtime_error("fetching MD5 failed");
        std::array<std::uint8_t, kMd5DigestBytes> digest{};
        for (auto _ : state) {
            unsigned int length = 0;
            if (EVP_DigestInit_ex2(ctx.get(), md.get(), nullptr) <= 0 ||
                EVP_DigestUpdate(ctx.get(), data.data(), data.size()) <= 0 ||
                EVP_DigestFinal_ex(ctx.get(), digest.data(), &length) <= 0)
                throw std::runtime_error("EVP_DigestFinal_ex failed");
            benchmark::DoNotOptimize(digest.data());
            benchmark::ClobberMemory();
        }
        if (digest != OpenSslDigest<kMd5DigestBytes>(EVP_md5(), data.data(), data.size()))
            throw std::runtime_error("the reused context gave a different digest");
        state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * std::int64_t{kSmallBytes});
    });
}

}  // namespace
}  // namespace bench

BENCHMARK(bench::Sha1FileComponent)->Name("sha1_mapped_256MiB/component")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(bench::Sha1FileOpenSsl)->Name("sha1_mapped_256MiB/openssl")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(bench::Md5SmallComponent)->Name("md5_40_bytes/component")->UseRealTime();
BENCHMARK(bench::Md5SmallOpenSsl)->Name("md5_40_bytes/openssl")->UseRealTime();
BENCHMARK(bench::Md5SmallOpenSslReusedContext)->Name("md5_40_bytes/openssl_ctx")->UseRealTime();

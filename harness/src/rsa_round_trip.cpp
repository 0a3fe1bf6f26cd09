#include "harness/rsa_round_trip.h"

#include "harness/below_base.h"
#include "harness/key_numbers.h"

#include "common/fill_random.h"
#include "runtime/runtime.h"

namespace harness {

Result<std::vector<std::uint32_t>> MakeRoundTripData(IUserRSA& rsa)
{
    std::uint32_t words = 0;
    if (const HRESULT hr = rsa.GetKeyLength(&words); FAILED(hr))
        return FailedStatus("GetKeyLength", hr);
    if (MaybeFailure unbelievable = CheckCount(words, kMostWordsBelieved, "GetKeyLength"))
        return *unbelievable;
    if (words == 0)
        return UnusableResult("GetKeyLength", "The RSA object holds no key");

    std::vector<std::uint32_t> base(words, 0);
    std::uint32_t baseWords = words;
    if (const HRESULT hr = rsa.GetBase(base.data(), &baseWords); FAILED(hr))
        return FailedStatus("GetBase", hr);
    if (MaybeFailure unbelievable = CheckCount(baseWords, words, "GetBase"))
        return *unbelievable;
    base.resize(baseWords);

    std::vector<std::uint32_t> data(base.size(), 0);
    FillRandom(data.data(), static_cast<int>(data.size()));
    if (!KeepBelowBase(data, base))
        return UnusableResult("GetBase", "The key's base is too small to hold any data");
    return data;
}

RsaRoundTrip RunRoundTrip(IUserRSA& rsa, std::span<const std::uint32_t> data)
{
    RsaRoundTrip trip;
    const auto words = static_cast<std::uint32_t>(data.size());

    std::vector<std::uint32_t> encoded(words, 0);
    std::uint32_t encodedWords = words;
    std::uint32_t start = GetTickCount();
    HRESULT status = rsa.Encrypt(data.data(), words, encoded.data(), &encodedWords);
    std::uint32_t end = GetTickCount();
    if (FAILED(status)) {
        trip.failure = FailedStatus("Encrypt", status);
        return trip;
    }
    if ((trip.failure = CheckCount(encodedWords, words, "Encrypt")))
        return trip;
    trip.encryptMilliseconds = end - start;

    std::vector<std::uint32_t> decoded(words, 0);
    std::uint32_t decodedWords = words;
    start = GetTickCount();
    status = rsa.Decrypt(encoded.data(), encodedWords, decoded.data(), &decodedWords);
    end = GetTickCount();
    trip.encoded = std::move(encoded);
    if (FAILED(status)) {
        trip.failure = FailedStatus("Decrypt", status);
        return trip;
    }
    trip.decoded = std::move(decoded);
    trip.decryptMilliseconds = end - start;
    return trip;
}

}  // namespace harness

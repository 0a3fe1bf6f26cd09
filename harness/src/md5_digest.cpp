#include "harness/md5_digest.h"

namespace harness {

Result<Md5Words> Md5Of(IHashMD5& md5, std::span<const std::uint8_t> data)
{
    Md5Words digest{};
    if (const HRESULT hr = md5.HashData(data.data(), static_cast<std::uint32_t>(data.size())); FAILED(hr))
        return FailedStatus("IHashMD5::HashData", hr);
    if (const HRESULT hr = md5.GetHash(reinterpret_cast<std::uint8_t*>(digest.data())); FAILED(hr))
        return FailedStatus("IHashMD5::GetHash", hr);
    return digest;
}

}  // namespace harness

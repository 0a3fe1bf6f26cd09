#pragma once

#include "fake_object.h"

#include <tarvel/crypto.h>

#include <array>
#include <optional>

namespace fake {

// Reversible stand-in for a DES object: the block is XORed with the key.
class FakeDes final : public FakeObject<IUserDES> {
public:
    FakeDes() : FakeObject("IUserDES", IID_IUserDES) {}

    HRESULT SetKey(const std::uint32_t* key) override;
    HRESULT GetKey(std::uint32_t* key) override;
    HRESULT Encrypt(std::uint32_t* block) override;
    HRESULT Decrypt(std::uint32_t* block) override;

private:
    HRESULT Transform(const char* method, std::uint32_t* block);

    std::optional<std::array<std::uint32_t, 2>> m_key;
};

}  // namespace fake

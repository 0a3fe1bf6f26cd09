// The DES class: single DES on one 8-byte block under the key last set.
#pragma once

#include "com_object.h"

#include <tarvel/crypto.h>

#include <array>
#include <memory>

namespace tarvel::component {

class UserDes final : public ComObject<IUserDES, IID_IUserDES> {
public:
    UserDes();
    ~UserDes() override;

    HRESULT SetKey(const std::uint32_t* key) override;
    HRESULT GetKey(std::uint32_t* key) override;
    HRESULT Encrypt(std::uint32_t* block) override;
    HRESULT Decrypt(std::uint32_t* block) override;

private:
    HRESULT Transform(std::uint32_t* block, bool encrypt);

    // The key schedule lives behind a pointer so OpenSSL's DES header stays
    // in the one file that uses it.
    struct Schedule;
    std::unique_ptr<Schedule> m_schedule;
    std::array<std::uint32_t, 2> m_key{};
    bool m_hasKey = false;
};

}  // namespace tarvel::component

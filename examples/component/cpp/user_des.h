// IUserDES: single DES in ECB mode on one two-word block, in place.
#pragma once

#include "object.h"

class UserDes final : public Object<IUserDES, IID_IUserDES> {
public:
    HRESULT SetKey(const std::uint32_t*) override { return E_NOTIMPL; }
    HRESULT GetKey(std::uint32_t*) override { return E_NOTIMPL; }
    HRESULT Encrypt(std::uint32_t*) override { return E_NOTIMPL; }
    HRESULT Decrypt(std::uint32_t*) override { return E_NOTIMPL; }
};

// IUserRSA: key generation, raw RSA, the key's numbers and texts, key files.
// Every slot is still to be written; crypto/README.md (installed as
// share/doc/tarvel-component-dev/interface.md) gives each one's protocol.
#pragma once

#include "object.h"

class UserRsa final : public Object<IUserRSA, IID_IUserRSA> {
public:
    HRESULT Clear() override { return E_NOTIMPL; }
    HRESULT GenerateKey(const char*, std::uint32_t) override { return E_NOTIMPL; }
    HRESULT GetKeyLength(std::uint32_t*) override { return E_NOTIMPL; }
    HRESULT Encrypt(const std::uint32_t*, std::uint32_t, std::uint32_t*, std::uint32_t*) override { return E_NOTIMPL; }
    HRESULT Decrypt(const std::uint32_t*, std::uint32_t, std::uint32_t*, std::uint32_t*) override { return E_NOTIMPL; }
    HRESULT GetUserId(char*, std::uint32_t*) override { return E_NOTIMPL; }
    HRESULT SaveWkyFile(const char*) override { return E_NOTIMPL; }
    HRESULT SaveRkyFile(const char*) override { return E_NOTIMPL; }
    HRESULT SaveAsyFile(const char*) override { return E_NOTIMPL; }
    HRESULT GetCode(char*, std::uint32_t*) override { return E_NOTIMPL; }
    HRESULT LoadAsyFile(const char*) override { return E_NOTIMPL; }

    // The eight numbers: base, public and private exponent, then the CRT parts.
    HRESULT GetBase(std::uint32_t*, std::uint32_t*) override { return E_NOTIMPL; }
    HRESULT GetPublicKey(std::uint32_t*, std::uint32_t*) override { return E_NOTIMPL; }
    HRESULT GetPrivateKey(std::uint32_t*, std::uint32_t*) override { return E_NOTIMPL; }
    HRESULT GetKeyPart4(std::uint32_t*, std::uint32_t*) override { return E_NOTIMPL; }
    HRESULT GetKeyPart5(std::uint32_t*, std::uint32_t*) override { return E_NOTIMPL; }
    HRESULT GetKeyPart6(std::uint32_t*, std::uint32_t*) override { return E_NOTIMPL; }
    HRESULT GetKeyPart7(std::uint32_t*, std::uint32_t*) override { return E_NOTIMPL; }
    HRESULT GetKeyPart8(std::uint32_t*, std::uint32_t*) override { return E_NOTIMPL; }
    HRESULT SetUserId(const char*, std::uint32_t) override { return E_NOTIMPL; }
    HRESULT SetCode(const char*, std::uint32_t) override { return E_NOTIMPL; }
    HRESULT SetBase(const std::uint32_t*, std::uint32_t) override { return E_NOTIMPL; }
    HRESULT SetPublicKey(const std::uint32_t*, std::uint32_t) override { return E_NOTIMPL; }
    HRESULT SetPrivateKey(const std::uint32_t*, std::uint32_t) override { return E_NOTIMPL; }
    HRESULT SetKeyPart4(const std::uint32_t*, std::uint32_t) override { return E_NOTIMPL; }
    HRESULT SetKeyPart5(const std::uint32_t*, std::uint32_t) override { return E_NOTIMPL; }
    HRESULT SetKeyPart6(const std::uint32_t*, std::uint32_t) override { return E_NOTIMPL; }
    HRESULT SetKeyPart7(const std::uint32_t*, std::uint32_t) override { return E_NOTIMPL; }
    HRESULT SetKeyPart8(const std::uint32_t*, std::uint32_t) override { return E_NOTIMPL; }
};

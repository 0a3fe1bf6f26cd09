#pragma once

#include "fake_object.h"

#include <tarvel/crypto.h>

#include <array>
#include <string>
#include <vector>

namespace fake {

// Deterministic stand-in for an RSA object: see fake_component_control.h.
class FakeRsa final : public FakeObject<IUserRSA> {
public:
    FakeRsa() : FakeObject("IUserRSA", IID_IUserRSA) {}

    HRESULT Clear() override;
    HRESULT GenerateKey(const char* userId, std::uint32_t keyWords) override;
    HRESULT GetKeyLength(std::uint32_t* words) override;
    HRESULT Encrypt(const std::uint32_t* in, std::uint32_t inWords, std::uint32_t* out,
                    std::uint32_t* outWords) override;
    HRESULT Decrypt(const std::uint32_t* in, std::uint32_t inWords, std::uint32_t* out,
                    std::uint32_t* outWords) override;
    HRESULT GetUserId(char* text, std::uint32_t* length) override;
    HRESULT SaveWkyFile(const char* path) override;
    HRESULT SaveRkyFile(const char* path) override;
    HRESULT SaveAsyFile(const char* path) override;
    HRESULT GetCode(char* text, std::uint32_t* length) override;
    HRESULT LoadAsyFile(const char* path) override;
    // The eight numbers, in getter order, each slot recorded under its name.
    HRESULT GetBase(std::uint32_t* w, std::uint32_t* c) override { return GetNumber("GetBase", 1, w, c); }
    HRESULT GetPublicKey(std::uint32_t* w, std::uint32_t* c) override { return GetNumber("GetPublicKey", 2, w, c); }
    HRESULT GetPrivateKey(std::uint32_t* w, std::uint32_t* c) override { return GetNumber("GetPrivateKey", 3, w, c); }
    HRESULT GetKeyPart4(std::uint32_t* w, std::uint32_t* c) override { return GetNumber("GetKeyPart4", 4, w, c); }
    HRESULT GetKeyPart5(std::uint32_t* w, std::uint32_t* c) override { return GetNumber("GetKeyPart5", 5, w, c); }
    HRESULT GetKeyPart6(std::uint32_t* w, std::uint32_t* c) override { return GetNumber("GetKeyPart6", 6, w, c); }
    HRESULT GetKeyPart7(std::uint32_t* w, std::uint32_t* c) override { return GetNumber("GetKeyPart7", 7, w, c); }
    HRESULT GetKeyPart8(std::uint32_t* w, std::uint32_t* c) override { return GetNumber("GetKeyPart8", 8, w, c); }
    HRESULT SetUserId(const char* text, std::uint32_t length) override;
    HRESULT SetCode(const char* text, std::uint32_t length) override;
    HRESULT SetBase(const std::uint32_t* w, std::uint32_t c) override { return SetNumber("SetBase", 1, w, c); }
    HRESULT SetPublicKey(const std::uint32_t* w, std::uint32_t c) override
    {
        return SetNumber("SetPublicKey", 2, w, c);
    }
    HRESULT SetPrivateKey(const std::uint32_t* w, std::uint32_t c) override
    {
        return SetNumber("SetPrivateKey", 3, w, c);
    }
    HRESULT SetKeyPart4(const std::uint32_t* w, std::uint32_t c) override { return SetNumber("SetKeyPart4", 4, w, c); }
    HRESULT SetKeyPart5(const std::uint32_t* w, std::uint32_t c) override { return SetNumber("SetKeyPart5", 5, w, c); }
    HRESULT SetKeyPart6(const std::uint32_t* w, std::uint32_t c) override { return SetNumber("SetKeyPart6", 6, w, c); }
    HRESULT SetKeyPart7(const std::uint32_t* w, std::uint32_t c) override { return SetNumber("SetKeyPart7", 7, w, c); }
    HRESULT SetKeyPart8(const std::uint32_t* w, std::uint32_t c) override { return SetNumber("SetKeyPart8", 8, w, c); }

private:
    HRESULT GetNumber(const char* method, int part, std::uint32_t* words, std::uint32_t* count);
    HRESULT SetNumber(const char* method, int part, const std::uint32_t* words, std::uint32_t count);
    HRESULT GetText(const char* method, const std::string& value, char* text, std::uint32_t* length);
    HRESULT SetText(const char* method, std::string& value, const char* text, std::uint32_t length);
    HRESULT Transform(const char* method, bool encrypt, const std::uint32_t* in, std::uint32_t inWords,
                      std::uint32_t* out, std::uint32_t* outWords);
    HRESULT Save(const char* method, const char* kind, const char* path);
    std::uint32_t KeyWords() const;  // of the key held, 0 before one is made

    std::array<std::vector<std::uint32_t>, 8> m_numbers;  // base, public key, private key, parts 4-8
    std::string m_userId;
    std::string m_code;
};

}  // namespace fake

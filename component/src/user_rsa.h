// The RSA class: holds one key (eight numbers), a user id and a code.
#pragma once

#include "com_object.h"
#include "rsa_engine.h"
#include "rsa_numbers.h"

#include <tarvel/crypto.h>

#include <memory>
#include <string>

namespace tarvel::component {

class UserRsa final : public ComObject<IUserRSA, IID_IUserRSA> {
public:
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
    HRESULT GetBase(std::uint32_t* words, std::uint32_t* count) override;
    HRESULT GetPublicKey(std::uint32_t* words, std::uint32_t* count) override;
    HRESULT GetPrivateKey(std::uint32_t* words, std::uint32_t* count) override;
    HRESULT GetKeyPart4(std::uint32_t* words, std::uint32_t* count) override;
    HRESULT GetKeyPart5(std::uint32_t* words, std::uint32_t* count) override;
    HRESULT GetKeyPart6(std::uint32_t* words, std::uint32_t* count) override;
    HRESULT GetKeyPart7(std::uint32_t* words, std::uint32_t* count) override;
    HRESULT GetKeyPart8(std::uint32_t* words, std::uint32_t* count) override;
    HRESULT SetUserId(const char* text, std::uint32_t length) override;
    HRESULT SetCode(const char* text, std::uint32_t length) override;
    HRESULT SetBase(const std::uint32_t* words, std::uint32_t count) override;
    HRESULT SetPublicKey(const std::uint32_t* words, std::uint32_t count) override;
    HRESULT SetPrivateKey(const std::uint32_t* words, std::uint32_t count) override;
    HRESULT SetKeyPart4(const std::uint32_t* words, std::uint32_t count) override;
    HRESULT SetKeyPart5(const std::uint32_t* words, std::uint32_t count) override;
    HRESULT SetKeyPart6(const std::uint32_t* words, std::uint32_t count) override;
    HRESULT SetKeyPart7(const std::uint32_t* words, std::uint32_t count) override;
    HRESULT SetKeyPart8(const std::uint32_t* words, std::uint32_t count) override;

private:
    enum class Direction { Encrypt, Decrypt };

    HRESULT Transform(Direction direction, const std::uint32_t* in, std::uint32_t inWords, std::uint32_t* out,
                      std::uint32_t* outWords);
    HRESULT GetPart(RsaPart part, std::uint32_t* words, std::uint32_t* count);
    HRESULT SetPart(RsaPart part, const std::uint32_t* words, std::uint32_t count);
    HRESULT SetText(std::string& target, const char* text, std::uint32_t length);
    // The engine for the held numbers, made on first use; null with no key.
    RsaEngine* Engine();
    void KeyChanged() { m_engine.reset(); }

    RsaNumbers m_numbers;
    std::string m_userId;
    std::string m_code;
    std::unique_ptr<RsaEngine> m_engine;
};

}  // namespace tarvel::component

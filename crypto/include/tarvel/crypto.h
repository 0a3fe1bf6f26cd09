// The crypto component's interfaces. See crypto/README.md for the protocol of
// every slot; the slot numbers in the comments are part of the binary contract.
//
// Numbers travel as word arrays: uint32_t words in machine (little-endian)
// order, least significant word first, with a separate count in words.
#pragma once

#include <cstdint>
#include <tarvel/com.h>
#include <tarvel/ids.h>

struct IUserRSA : IUnknown {
    virtual HRESULT Clear() = 0;                                                  // 3
    virtual HRESULT GenerateKey(const char* userId, std::uint32_t keyWords) = 0;  // 4
    virtual HRESULT GetKeyLength(std::uint32_t* words) = 0;                       // 5
    virtual HRESULT Encrypt(const std::uint32_t* in, std::uint32_t inWords, std::uint32_t* out,
                            std::uint32_t* outWords) = 0;  // 6
    virtual HRESULT Decrypt(const std::uint32_t* in, std::uint32_t inWords, std::uint32_t* out,
                            std::uint32_t* outWords) = 0;  // 7
    // Text getters, same protocol as the number getters but in bytes: a null
    // buffer asks for the length (without terminator); otherwise *length is the
    // capacity in bytes, which must leave room for the terminator.
    virtual HRESULT GetUserId(char* text, std::uint32_t* length) = 0;  // 8
    virtual HRESULT SaveWkyFile(const char* path) = 0;                 // 9
    virtual HRESULT SaveRkyFile(const char* path) = 0;                 // 10
    virtual HRESULT SaveAsyFile(const char* path) = 0;                 // 11
    virtual HRESULT GetCode(char* text, std::uint32_t* length) = 0;    // 12
    // Replaces the held key, user id and code with those of an .asy record.
    virtual HRESULT LoadAsyFile(const char* path) = 0;  // 13
    // Number getters: words == nullptr asks for the count needed (written to
    // *count, S_OK); otherwise *count is the capacity in, the words written out.
    virtual HRESULT GetBase(std::uint32_t* words, std::uint32_t* count) = 0;             // 14
    virtual HRESULT GetPublicKey(std::uint32_t* words, std::uint32_t* count) = 0;        // 15
    virtual HRESULT GetPrivateKey(std::uint32_t* words, std::uint32_t* count) = 0;       // 16
    virtual HRESULT GetKeyPart4(std::uint32_t* words, std::uint32_t* count) = 0;         // 17
    virtual HRESULT GetKeyPart5(std::uint32_t* words, std::uint32_t* count) = 0;         // 18
    virtual HRESULT GetKeyPart6(std::uint32_t* words, std::uint32_t* count) = 0;         // 19
    virtual HRESULT GetKeyPart7(std::uint32_t* words, std::uint32_t* count) = 0;         // 20
    virtual HRESULT GetKeyPart8(std::uint32_t* words, std::uint32_t* count) = 0;         // 21
    virtual HRESULT SetUserId(const char* text, std::uint32_t length) = 0;               // 22
    virtual HRESULT SetCode(const char* text, std::uint32_t length) = 0;                 // 23
    virtual HRESULT SetBase(const std::uint32_t* words, std::uint32_t count) = 0;        // 24
    virtual HRESULT SetPublicKey(const std::uint32_t* words, std::uint32_t count) = 0;   // 25
    virtual HRESULT SetPrivateKey(const std::uint32_t* words, std::uint32_t count) = 0;  // 26
    virtual HRESULT SetKeyPart4(const std::uint32_t* words, std::uint32_t count) = 0;    // 27
    virtual HRESULT SetKeyPart5(const std::uint32_t* words, std::uint32_t count) = 0;    // 28
    virtual HRESULT SetKeyPart6(const std::uint32_t* words, std::uint32_t count) = 0;    // 29
    virtual HRESULT SetKeyPart7(const std::uint32_t* words, std::uint32_t count) = 0;    // 30
    virtual HRESULT SetKeyPart8(const std::uint32_t* words, std::uint32_t count) = 0;    // 31

protected:
    ~IUserRSA() = default;
};

struct IUserDES : IUnknown {
    virtual HRESULT SetKey(const std::uint32_t* key) = 0;  // 3: two words
    virtual HRESULT GetKey(std::uint32_t* key) = 0;        // 4: two words; fails before SetKey
    virtual HRESULT Encrypt(std::uint32_t* block) = 0;     // 5: two words, in place
    virtual HRESULT Decrypt(std::uint32_t* block) = 0;     // 6: two words, in place

protected:
    ~IUserDES() = default;
};

// SHA-1 and MD5 share one shape; only the digest size differs (20 and 16 bytes).
struct IHashSHA1 : IUnknown {
    virtual HRESULT GetHashSize(std::uint32_t* bytes) = 0;                        // 3
    virtual HRESULT HashData(const std::uint8_t* data, std::uint32_t bytes) = 0;  // 4
    virtual HRESULT GetHash(std::uint8_t* digest) = 0;                            // 5

protected:
    ~IHashSHA1() = default;
};

struct IHashMD5 : IUnknown {
    virtual HRESULT GetHashSize(std::uint32_t* bytes) = 0;                        // 3
    virtual HRESULT HashData(const std::uint8_t* data, std::uint32_t bytes) = 0;  // 4
    virtual HRESULT GetHash(std::uint8_t* digest) = 0;                            // 5

protected:
    ~IHashMD5() = default;
};

inline constexpr std::uint32_t kSha1DigestBytes = 20;
inline constexpr std::uint32_t kMd5DigestBytes = 16;

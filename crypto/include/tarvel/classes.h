// The four classes of the crypto component, in one table: what the binding
// accepts, what a component serves and what its objects answer to. Code that
// handles "every class" iterates this table instead of naming identifiers.
#pragma once

#include <tarvel/com.h>
#include <tarvel/ids.h>

// Which of the four a table entry is; a switch over it is checked for
// completeness by the compiler.
enum class CryptoClassKind { UserRsa, UserDes, HashSha1, HashMd5 };

struct CryptoClass {
    CryptoClassKind kind;
    CLSID clsid;
    IID iid;                    // the interface its objects are made for
    const char* interfaceName;  // "IUserRSA", as messages name it
};

inline constexpr CryptoClass kCryptoClasses[] = {
    {CryptoClassKind::UserRsa, CLSID_UserRSA, IID_IUserRSA, "IUserRSA"},
    {CryptoClassKind::UserDes, CLSID_UserDES, IID_IUserDES, "IUserDES"},
    {CryptoClassKind::HashSha1, CLSID_HashSHA1, IID_IHashSHA1, "IHashSHA1"},
    {CryptoClassKind::HashMd5, CLSID_HashMD5, IID_IHashMD5, "IHashMD5"},
};

// The entry of clsid, or null when it is none of the four.
constexpr const CryptoClass* FindCryptoClass(const CLSID& clsid)
{
    for (const CryptoClass& entry : kCryptoClasses)
        if (entry.clsid == clsid)
            return &entry;
    return nullptr;
}

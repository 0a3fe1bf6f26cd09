// Shared helpers of the component tests: objects made through
// CoCreateInstance, key numbers as OpenSSL numbers, whole-file reads and writes.
#pragma once

#include <runtime/com_ptr.h>
#include <tarvel/crypto.h>

#include "suites/scratch_files.h"
#include "temp_folder.h"

#include <openssl/bn.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

// The status for a buffer below the needed size (the needed size is reported).
inline constexpr HRESULT kInsufficientBuffer = static_cast<HRESULT>(0x8007007Au);

ComPtr<IUserRSA> NewRsa();
ComPtr<IUserDES> NewDes();
ComPtr<IHashSHA1> NewSha1();
ComPtr<IHashMD5> NewMd5();

struct BnFree {
    void operator()(BIGNUM* p) const { BN_free(p); }
};
using Bn = std::unique_ptr<BIGNUM, BnFree>;

Bn BnFromWords(const std::vector<std::uint32_t>& words);
std::vector<std::uint32_t> WordsFromBn(const BIGNUM* number, std::uint32_t count);
Bn BnFromDec(const char* decimal);

// The getters in interface order, so tests can walk all eight numbers.
using RsaGetter = HRESULT (IUserRSA::*)(std::uint32_t*, std::uint32_t*);
using RsaSetter = HRESULT (IUserRSA::*)(const std::uint32_t*, std::uint32_t);
extern const RsaGetter kRsaGetters[8];
extern const RsaSetter kRsaSetters[8];

// One number read through the size query then an exact buffer.
std::vector<std::uint32_t> ReadPart(IUserRSA* rsa, RsaGetter getter);
Bn ReadPartBn(IUserRSA* rsa, RsaGetter getter);
// One number handed to a setter.
HRESULT WritePart(IUserRSA* rsa, RsaSetter setter, const std::vector<std::uint32_t>& words);

// Raw RSA through the interface on a number held in a BIGNUM.
Bn Apply(IUserRSA* rsa, bool encrypt, const BIGNUM* input, std::uint32_t keyWords);

// Whole-file reads and writes, as tarvel-check makes them.
using checks::support::ReadWholeFile;
using checks::support::WriteWholeFile;

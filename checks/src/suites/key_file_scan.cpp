#include "suites/key_file_scan.h"

#include "suites/support.h"

#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>

#include <algorithm>
#include <cctype>
#include <utility>

namespace checks::support {
namespace {

// A numbers shorter than this could turn up in a file by chance.
constexpr int kShortestSearchedBytes = 8;

struct Space {
    std::string label;  // "the file", "the PEM block 'PUBLIC KEY'"
    std::string bytes;
    bool text;  // lowercase, without blanks and colons: where hex and decimal are looked for
};

// The file as bytes, as digits without separators, and each PEM body.
std::vector<Space> SpacesOf(const std::string& file)
{
    std::vector<Space> spaces = {{"the file", file, false}};
    std::string digits;
    for (const char c : file)
        if (!std::isspace(static_cast<unsigned char>(c)) && c != ':')
            digits += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    spaces.push_back({"the file's text", digits, true});
    tarvel::BioPtr bio(BIO_new_mem_buf(file.data(), static_cast<int>(file.size())));
    for (;;) {
        char* name = nullptr;
        char* header = nullptr;
        unsigned char* data = nullptr;
        long length = 0;
        if (!bio || PEM_read_bio(bio.get(), &name, &header, &data, &length) != 1)
            break;
        spaces.push_back({std::string("the PEM block '") + name + "'",
                          std::string(reinterpret_cast<const char*>(data), static_cast<std::size_t>(length)), false});
        OPENSSL_free(name);
        OPENSSL_free(header);
        OPENSSL_free(data);
    }
    ERR_clear_error();
    return spaces;
}

std::string Lowercase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

}  // namespace

std::vector<std::string> FindPrivateMaterial(const std::string& file, const std::array<Words, 8>& key)
{
    std::vector<std::string> found;
    const std::vector<Space> spaces = SpacesOf(file);
    for (const Space& space : spaces) {
        if (space.text)
            continue;
        const auto* der = reinterpret_cast<const unsigned char*>(space.bytes.data());
        tarvel::PkeyPtr pkey(d2i_AutoPrivateKey(nullptr, &der, static_cast<long>(space.bytes.size())));
        ERR_clear_error();
        if (pkey)
            found.push_back("a private key OpenSSL decodes from " + space.label);
    }
    const std::pair<std::size_t, const char*> privateParts[] = {{kPrivate, "d"},
                                                                {kPrimeP, "p"},
                                                                {kPrimeQ, "q"},
                                                                {kExponentP, "d mod (p-1)"},
                                                                {kExponentQ, "d mod (q-1)"},
                                                                {kCoefficient, "q^-1 mod p"}};
    for (const auto& [part, name] : privateParts) {
        const Bignum value = ToBignum(key[part]);
        const int size = BN_num_bytes(value.get());
        if (size < kShortestSearchedBytes)
            continue;
        std::string bigEndian(static_cast<std::size_t>(size), '\0');
        BN_bn2bin(value.get(), reinterpret_cast<unsigned char*>(bigEndian.data()));
        std::string littleEndian(bigEndian.rbegin(), bigEndian.rend());
        char* hexText = BN_bn2hex(value.get());
        char* decimalText = BN_bn2dec(value.get());
        std::string hex = Lowercase(hexText ? hexText : "");
        hex.erase(0, std::min(hex.find_first_not_of('0'), hex.size()));
        const std::string decimal = decimalText ? decimalText : "";
        OPENSSL_free(hexText);
        OPENSSL_free(decimalText);
        const std::pair<const std::string*, const char*> encodings[] = {{&bigEndian, "big-endian bytes"},
                                                                        {&littleEndian, "little-endian bytes"},
                                                                        {&hex, "hex digits"},
                                                                        {&decimal, "decimal digits"}};
        for (const auto& [pattern, encoding] : encodings) {
            const bool digits = pattern == &hex || pattern == &decimal;
            for (const Space& space : spaces)
                if (space.text == digits && !pattern->empty() && space.bytes.find(*pattern) != std::string::npos) {
                    found.push_back(std::string(name) + " as " + encoding + " in " + space.label);
                    break;
                }
        }
    }
    return found;
}

std::string FirstPemLabel(const std::string& file)
{
    const std::string begin = "-----BEGIN ";
    const std::size_t at = file.find(begin);
    if (at == std::string::npos)
        return "";
    const std::size_t end = file.find("-----", at + begin.size());
    return end == std::string::npos ? "" : file.substr(at + begin.size(), end - at - begin.size());
}

}  // namespace checks::support

#include "fault_files.h"

#include <component/openssl_ptr.h>

#include <openssl/bio.h>
#include <openssl/bn.h>
#include <openssl/core_names.h>
#include <openssl/evp.h>
#include <openssl/pem.h>

#include <sys/stat.h>

#include <fstream>
#include <sstream>

namespace faulty {
namespace {

std::string ReadWhole(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool WriteWhole(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    return static_cast<bool>(out.flush());
}

int HexDigit(char c)
{
    return c >= '0' && c <= '9'   ? c - '0'
           : c >= 'a' && c <= 'f' ? c - 'a' + 10
           : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                  : -1;
}

std::string Unescaped(const std::string& value)
{
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i)
        if (value[i] == '%' && i + 2 < value.size() && HexDigit(value[i + 1]) >= 0 && HexDigit(value[i + 2]) >= 0) {
            out.push_back(static_cast<char>(HexDigit(value[i + 1]) * 16 + HexDigit(value[i + 2])));
            i += 2;
        } else {
            out.push_back(value[i]);
        }
    return out;
}

}  // namespace

bool AppendPrivateKey(const std::string& wkyPath, const std::string& rkyPath)
{
    return WriteWhole(wkyPath, ReadWhole(wkyPath) + ReadWhole(rkyPath));
}

bool AppendPrivateExponentText(const std::string& wkyPath, const std::string& rkyPath)
{
    const std::string pem = ReadWhole(rkyPath);
    tarvel::BioPtr in(BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size())));
    tarvel::PkeyPtr key(PEM_read_bio_PrivateKey(in.get(), nullptr, nullptr, nullptr));
    BIGNUM* raw = nullptr;
    if (!key || !EVP_PKEY_get_bn_param(key.get(), OSSL_PKEY_PARAM_RSA_D, &raw))
        return false;
    const tarvel::OpenSslPtr<BIGNUM, BN_free> d(raw);
    char* decimal = BN_bn2dec(d.get());
    char* hex = BN_bn2hex(d.get());
    std::string text = std::string("privateExponent: ") + (decimal ? decimal : "") + "\n    ";
    for (std::size_t i = 0; hex && hex[i]; i += 2)
        text += std::string(i ? ":" : "") + hex[i] + hex[i + 1] + ((i / 2) % 15 == 14 ? "\n    " : "");
    OPENSSL_free(decimal);
    OPENSSL_free(hex);
    return WriteWhole(wkyPath, ReadWhole(wkyPath) + text + "\n");
}

bool RewriteTraditional(const std::string& rkyPath)
{
    const std::string pem = ReadWhole(rkyPath);
    tarvel::BioPtr in(BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size())));
    tarvel::PkeyPtr key(PEM_read_bio_PrivateKey(in.get(), nullptr, nullptr, nullptr));
    tarvel::BioPtr out(BIO_new(BIO_s_mem()));
    if (!key || !out ||
        !PEM_write_bio_PrivateKey_traditional(out.get(), key.get(), nullptr, nullptr, 0, nullptr, nullptr))
        return false;
    char* data = nullptr;
    const long size = BIO_get_mem_data(out.get(), &data);
    return WriteWhole(rkyPath, std::string(data, static_cast<std::size_t>(size)));
}

void ModeByUmask(const std::string& path)
{
    const mode_t mask = umask(0);
    umask(mask);
    chmod(path.c_str(), 0666 & ~mask);
}

bool UnescapeAsyTexts(const std::string& asyPath)
{
    std::istringstream in(ReadWhole(asyPath));
    std::string out;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("user-id=", 0) == 0 || line.rfind("code=", 0) == 0)
            line = Unescaped(line);
        out += line + "\n";
    }
    return WriteWhole(asyPath, out);
}

}  // namespace faulty

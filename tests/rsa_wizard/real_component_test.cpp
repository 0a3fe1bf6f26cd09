// The wizard on the real component (the bundled one, or whichever
// TARVEL_COMPONENT names): round trips, the get-set copy, and key files that
// OpenSSL reads back.
#include "real_component.h"
#include "temp_folder.h"
#include "wizard_fixture.h"

#include "runtime/object_binding.h"

#include <openssl/bio.h>
#include <openssl/bn.h>
#include <openssl/core_names.h>
#include <openssl/evp.h>
#include <openssl/pem.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

class RealWizard : public WizardDriver {
protected:
    void SetUp() override
    {
        WizardDriver::SetUp();
        UseRealComponentOrSkip();
    }
};

// A private folder made the working folder for one test, and removed after.
class TempWorkingFolder {
public:
    TempWorkingFolder() : m_previous(std::filesystem::current_path())
    {
        std::filesystem::current_path(m_folder.Path());
    }
    ~TempWorkingFolder()
    {
        std::error_code ignored;
        std::filesystem::current_path(m_previous, ignored);
    }
    TempWorkingFolder(const TempWorkingFolder&) = delete;
    TempWorkingFolder& operator=(const TempWorkingFolder&) = delete;

private:
    std::filesystem::path m_previous;
    TempFolder m_folder;
};

struct PkeyFree {
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
struct BignumFree {
    void operator()(BIGNUM* number) const { BN_free(number); }
};
struct BioFree {
    void operator()(BIO* bio) const { BIO_free(bio); }
};
struct PkeyContextFree {
    void operator()(EVP_PKEY_CTX* context) const { EVP_PKEY_CTX_free(context); }
};
using PkeyPtr = std::unique_ptr<EVP_PKEY, PkeyFree>;

PkeyPtr ReadPem(const char* path, bool privateKey)
{
    std::unique_ptr<BIO, BioFree> bio(BIO_new_file(path, "r"));
    if (!bio)
        return nullptr;
    return PkeyPtr(privateKey ? PEM_read_bio_PrivateKey(bio.get(), nullptr, nullptr, nullptr)
                              : PEM_read_bio_PUBKEY(bio.get(), nullptr, nullptr, nullptr));
}

// The key's modulus in lowercase hex without leading zeros.
std::string ModulusHex(const EVP_PKEY* key)
{
    BIGNUM* raw = nullptr;
    if (!EVP_PKEY_get_bn_param(key, OSSL_PKEY_PARAM_RSA_N, &raw))
        return "<no modulus>";
    std::unique_ptr<BIGNUM, BignumFree> n(raw);
    char* hex = BN_bn2hex(n.get());
    std::string text(hex);
    OPENSSL_free(hex);
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// A page's hex text as one number: no blanks, no leading zeros.
std::string NumberOfText(const std::string& text)
{
    std::string digits;
    for (char c : text)
        if (c != ' ')
            digits += c;
    const std::size_t first = digits.find_first_not_of('0');
    return first == std::string::npos ? "0" : digits.substr(first);
}

std::string ReadWholeFile(const char* path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// One number of an object's key, read directly.
std::vector<std::uint32_t> KeyNumberOf(IUserRSA& rsa, HRESULT (IUserRSA::*getter)(std::uint32_t*, std::uint32_t*))
{
    std::uint32_t count = 0;
    if (FAILED((rsa.*getter)(nullptr, &count)))
        return {};
    std::vector<std::uint32_t> words(count, 0);
    if (FAILED((rsa.*getter)(words.data(), &count)))
        return {};
    words.resize(count);
    return words;
}

TEST_F(RealWizard, DecodeEqualsDataForKeysOf1To64Words)
{
    for (const char* keyWords : {"1", "2", "16", "64"}) {
        SCOPED_TRACE(keyWords);
        Open();
        GenerateWith(keyWords);
        ASSERT_EQ(ActivePage(), 1);
        const std::size_t words = std::stoul(keyWords);
        EXPECT_EQ(WordsOfHex(Text(1, IDC_BASE)).size(), words);
        Next();
        for (int press = 0; press < 3; ++press) {
            PressTest();
            const std::string data = Text(2, IDC_DATA);
            EXPECT_EQ(WordsOfHex(data).size(), words);
            EXPECT_EQ(Text(2, IDC_DECODE), data);
            // Tiny keys have many fixed points (m^e = m), so only a long
            // key shows that encryption changed the data.
            if (words >= 16) {
                EXPECT_NE(Text(2, IDC_ENCODE), data);
            }
            EXPECT_EQ(WordsOfHex(Text(2, IDC_ENCODE)).size(), words);
            EXPECT_EQ(Text(2, IDC_ENCTIME), "Encryption Time 0 milliseconds");
        }
        EXPECT_TRUE(Messages().empty());
    }
}

TEST_F(RealWizard, TheGetSetCopyShowsTheGeneratedKeyAndRoundTrips)
{
    Open();
    GenerateWith("16", true);
    ASSERT_EQ(ActivePage(), 1);
    // After the exchange the generated key sits in the second slot.
    IUserRSA* generated = wizard->Rsa1Page().m_pRSA2.Get();
    ASSERT_NE(generated, nullptr);
    EXPECT_EQ(Text(1, IDC_BASE), ExpectedHex(KeyNumberOf(*generated, &IUserRSA::GetBase)));
    EXPECT_EQ(Text(1, IDC_PUBLICKEY), ExpectedHex(KeyNumberOf(*generated, &IUserRSA::GetPublicKey)));
    EXPECT_EQ(Text(1, IDC_PRIVATEKEY), ExpectedHex(KeyNumberOf(*generated, &IUserRSA::GetPrivateKey)));
    EXPECT_EQ(WordsOfHex(Text(1, IDC_BASE)).size(), 16u);

    Next();
    PressTest();
    EXPECT_EQ(Text(2, IDC_DECODE), Text(2, IDC_DATA));
    EXPECT_TRUE(Messages().empty());
}

TEST_F(RealWizard, FileNameWritesThreeKeyFilesThatOpenSslReadsBack)
{
    TempWorkingFolder folder;
    Open();
    GenerateWith("16", true);
    const std::string base = NumberOfText(Text(1, IDC_BASE));
    Next();
    Next();
    PressFileName();
    ASSERT_TRUE(Messages().empty());

    const PkeyPtr publicKey = ReadPem("MyKey.wky", false);
    ASSERT_NE(publicKey, nullptr);
    EXPECT_EQ(ModulusHex(publicKey.get()), base);

    const PkeyPtr privateKey = ReadPem("MyKey.rky", true);
    ASSERT_NE(privateKey, nullptr);
    EXPECT_EQ(ModulusHex(privateKey.get()), base);
    std::unique_ptr<EVP_PKEY_CTX, PkeyContextFree> check(
        EVP_PKEY_CTX_new_from_pkey(nullptr, privateKey.get(), nullptr));
    ASSERT_NE(check, nullptr);
    EXPECT_EQ(EVP_PKEY_check(check.get()), 1);

    // The record of the copy: its own user id and code, the same base.
    const std::string record = ReadWholeFile("MyKey.asy");
    EXPECT_EQ(record.rfind("tarvel-asy 1\n", 0), 0u) << record;
    EXPECT_NE(record.find("\nuser-id=Second\n"), std::string::npos);
    EXPECT_NE(record.find("\ncode=60418\n"), std::string::npos);
    EXPECT_NE(record.find("\nbase=" + base + "\n"), std::string::npos);
}

}  // namespace

// Raw RSA with the keys of the PKCS #1 v1.5 encryption vectors: each key's
// eight numbers go through the setters of a fresh object, and each example's
// encoded message must encrypt to its ciphertext and decrypt back.
#include "suites/vectors_families.h"
#include "suites/vectors_probes.h"
#include "suites/vectors_records.h"

#include <array>
#include <cctype>
#include <cstdlib>

namespace checks::vectors {
namespace {

constexpr const char* kRsaFile = "asymmetric/RSA/pkcs1v15crypt-vectors.txt";

struct RsaExample {
    std::string name;  // "Example 7.3"
    int line = 0;
    Bytes message;
    Bytes seed;  // the nonzero padding bytes
    Bytes encryption;
};

struct RsaVectorKey {
    int number = 0;
    int line = 0;
    // Big-endian bytes in the getter order: n, e, d, p, q, dP, dQ, q^-1 mod p.
    std::array<Bytes, 8> numbers;
    std::vector<RsaExample> examples;
};

// The private key's labels in the getter order of the numbers.
constexpr std::array<const char*, 8> kPrivateLabels = {"Modulus",          "Public exponent", "Exponent",
                                                       "Prime 1",          "Prime 2",         "Prime exponent 1",
                                                       "Prime exponent 2", "Coefficient"};

bool AppendHexLine(std::string_view line, Bytes& bytes)
{
    std::string digits;
    for (char c : line)
        if (!std::isspace(static_cast<unsigned char>(c)))
            digits += c;
    const auto parsed = support::FromHex(digits);
    if (!parsed)
        return false;
    bytes.insert(bytes.end(), parsed->begin(), parsed->end());
    return true;
}

// The file is prose with "# Label:" lines, each followed by lines of hex
// bytes up to a blank line. A key starts at "# Example N:", its private half
// at "# Private key"; then come the examples' Message, Seed and Encryption.
class Pkcs1Parser {
public:
    std::optional<std::vector<RsaVectorKey>> Parse(std::string_view text, std::string& error)
    {
        int lineNumber = 0;
        while (!text.empty()) {
            const std::string_view line = TakeTrimmedLine(text);
            ++lineNumber;
            if (line.empty() || line.front() == '#') {
                Close();
                if (line.size() > 1)
                    Heading(Trimmed(line.substr(1)), lineNumber);
                continue;
            }
            if (!m_label.empty() && !AppendHexLine(line, m_value)) {
                error = "line " + std::to_string(lineNumber) + " under '" + m_label + "' is not hex";
                return std::nullopt;
            }
        }
        Close();
        return std::move(m_keys);
    }

private:
    enum class Part { None, Public, Private, Examples };

    void Heading(std::string_view heading, int line)
    {
        if (heading.starts_with("Example ") && heading.find(':') != std::string_view::npos) {
            m_keys.push_back({});
            m_keys.back().number = std::atoi(std::string(heading.substr(8)).c_str());
            m_keys.back().line = line;
            m_part = Part::None;
        } else if (heading == "Public key") {
            m_part = Part::Public;
        } else if (heading == "Private key") {
            m_part = Part::Private;
        } else if (heading.starts_with("PKCS#1 v1.5 ")) {
            m_part = Part::Examples;
        } else if (!heading.empty() && heading.back() == ':' && !m_keys.empty() && m_part != Part::None) {
            m_label = std::string(Trimmed(heading.substr(0, heading.size() - 1)));
            m_labelLine = line;
        }
    }

    // The bytes under the open label are complete.
    void Close()
    {
        if (m_label.empty())
            return;
        RsaVectorKey& key = m_keys.back();
        if (m_part == Part::Private) {
            for (std::size_t i = 0; i < kPrivateLabels.size(); ++i)
                if (m_label == kPrivateLabels[i])
                    key.numbers[i] = m_value;
        } else if (m_part == Part::Examples) {
            if (m_label == "Message") {
                key.examples.push_back(
                    {"Example " + std::to_string(key.number) + "." + std::to_string(key.examples.size() + 1),
                     m_labelLine,
                     m_value,
                     {},
                     {}});
            } else if (!key.examples.empty() && m_label == "Seed") {
                key.examples.back().seed = m_value;
            } else if (!key.examples.empty() && m_label == "Encryption") {
                key.examples.back().encryption = m_value;
            }
        }
        m_label.clear();
        m_value.clear();
    }

    std::vector<RsaVectorKey> m_keys;
    Part m_part = Part::None;
    std::string m_label;
    int m_labelLine = 0;
    Bytes m_value;
};

std::string Missing(const RsaVectorKey& key)
{
    for (std::size_t i = 0; i < key.numbers.size(); ++i)
        if (key.numbers[i].empty())
            return std::string("the private key's ") + kPrivateLabels[i];
    for (const RsaExample& example : key.examples)
        if (example.seed.empty() || example.encryption.empty())
            return example.name + "'s " + (example.seed.empty() ? "Seed" : "Encryption");
    return key.examples.empty() ? "its examples" : "";
}

// Checks one key's examples; false when a call failed and nothing more can
// be judged.
bool CheckKey(Context& ctx, const RsaVectorKey& key, MismatchLog& log, std::size_t& checked, const std::string& file)
{
    const support::Bignum modulus(BN_bin2bn(key.numbers[0].data(), static_cast<int>(key.numbers[0].size()), nullptr));
    const int bits = BN_num_bits(modulus.get());
    const std::size_t keyWords = static_cast<std::size_t>(bits + 31) / 32;
    const std::size_t keyBytes = static_cast<std::size_t>(bits + 7) / 8;
    std::array<Words, 8> numbers;
    for (std::size_t i = 0; i < numbers.size(); ++i)
        numbers[i] = support::WordsFromBigEndian(key.numbers[i], i == 0 ? keyWords : 0);

    const auto rsa = support::Create<IUserRSA>(ctx, CryptoClassKind::UserRsa);
    if (!rsa)
        return false;
    const std::string keyName = file + " Example " + std::to_string(key.number) + " (" + std::to_string(bits) +
                                " bits, " + std::to_string(keyWords) + " words)";
    if (!SetKeyGuarded(ctx, *rsa.Get(), numbers)) {
        if (ctx.Failed())
            ctx.Note("the key was " + keyName + "; keys up to 256 words must be taken");
        return false;
    }
    for (const RsaExample& example : key.examples) {
        const std::string where = file + " " + example.name + " (line " + std::to_string(example.line) + ")";
        // The encoded message: 00 02, the padding bytes, 00, the message.
        Bytes encoded = {0x00, 0x02};
        encoded.insert(encoded.end(), example.seed.begin(), example.seed.end());
        encoded.push_back(0x00);
        encoded.insert(encoded.end(), example.message.begin(), example.message.end());
        if (encoded.size() != keyBytes || example.encryption.size() != keyBytes) {
            ctx.Fail(where + ": an encoded message of " + ByteCount(encoded.size()) + " and a ciphertext of " +
                     ByteCount(example.encryption.size()) + " do not fit a key of " + ByteCount(keyBytes));
            return false;
        }
        const Words plain = support::WordsFromBigEndian(encoded, keyWords);
        const Words cipher = support::WordsFromBigEndian(example.encryption, keyWords);
        const auto encrypted = GuardedRsaCall(ctx, *rsa.Get(), true, plain);
        if (!encrypted)
            return false;
        if (*encrypted != cipher)
            log.Add(Mismatch(where + ": Encrypt of the encoded message " + Number(plain), Number(cipher),
                             Number(*encrypted)));
        const auto decrypted = GuardedRsaCall(ctx, *rsa.Get(), false, cipher);
        if (!decrypted)
            return false;
        if (*decrypted != plain)
            log.Add(
                Mismatch(where + ": Decrypt of the ciphertext " + Number(cipher), Number(plain), Number(*decrypted)));
        checked += 2;
    }
    return true;
}

void CheckPkcs1Vectors(Context& ctx)
{
    const std::string path = PackagePath(ctx.Options(), kRsaFile);
    const auto text = ReadVectorText(ctx, path, Source::VectorPackage);
    if (!text)
        return;
    std::string error;
    const auto keys = Pkcs1Parser().Parse(*text, error);
    if (!keys) {
        ctx.Fail("the vector file " + path + " does not parse: " + error);
        return;
    }
    if (keys->empty()) {
        ctx.Fail("the vector file " + path + " holds no keys");
        return;
    }
    for (const RsaVectorKey& key : *keys)
        if (const std::string missing = Missing(key); !missing.empty()) {
            ctx.Fail(path + " line " + std::to_string(key.line) + ": Example " + std::to_string(key.number) +
                     " lacks " + missing);
            return;
        }
    const std::string file = VectorFile{path, {}}.Name();
    MismatchLog log(ctx, file);
    std::size_t checked = 0;
    const std::size_t limit = ctx.Options().level == Level::Quick ? 1 : keys->size();
    for (std::size_t i = 0; i < limit; ++i)
        if (!CheckKey(ctx, (*keys)[i], log, checked, file))
            return;
    log.Finish(checked);
}

}  // namespace

std::vector<CheckDef> RsaVectorChecks(const SuiteOptions& opts)
{
    return {ReadingFiles({"vectors.rsa.pkcs1v15",
                          "raw RSA of the PKCS #1 v1.5 encryption examples, their keys set through the eight setters",
                          &CheckPkcs1Vectors, 60.0},
                         {PackagePath(opts, kRsaFile)})};
}

}  // namespace checks::vectors

#include "suites/rsa_key_files.h"

#include "suites/asy_text.h"
#include "suites/key_file_scan.h"
#include "suites/scratch_files.h"
#include "suites/seeded_keys.h"
#include "suites/support.h"

#include <openssl/bio.h>
#include <openssl/core_names.h>
#include <openssl/evp.h>
#include <openssl/pem.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>

namespace checks {
namespace {

using support::AsyRecord;
using support::Bignum;
using support::Expected;
using support::kKeyParts;
using support::ShownNumber;
using support::Words;
using Key = std::array<Words, 8>;

tarvel::PkeyPtr ReadPem(const std::string& text, bool isPrivate)
{
    tarvel::BioPtr bio(BIO_new_mem_buf(text.data(), static_cast<int>(text.size())));
    return tarvel::PkeyPtr(isPrivate ? PEM_read_bio_PrivateKey(bio.get(), nullptr, nullptr, nullptr)
                                     : PEM_read_bio_PUBKEY(bio.get(), nullptr, nullptr, nullptr));
}

// The numbers OpenSSL reads from a key file's PEM text against the object's.
// A text OpenSSL cannot read is the component's choice of format (unreadable
// says what the bundled component writes instead); false then.
bool CompareKeyFile(Context& ctx, const std::string& file, const std::string& text, const std::array<Words, 8>& key,
                    bool isPrivate, const char* unreadable)
{
    const tarvel::PkeyPtr pkey = ReadPem(text, isPrivate);
    if (!pkey) {
        ctx.Choice(unreadable);
        return false;
    }
    const std::pair<const char*, std::size_t> parts[] = {
        {OSSL_PKEY_PARAM_RSA_N, support::kBase},
        {OSSL_PKEY_PARAM_RSA_E, support::kPublic},
        {OSSL_PKEY_PARAM_RSA_D, support::kPrivate},
        {OSSL_PKEY_PARAM_RSA_FACTOR1, support::kPrimeP},
        {OSSL_PKEY_PARAM_RSA_FACTOR2, support::kPrimeQ},
        {OSSL_PKEY_PARAM_RSA_EXPONENT1, support::kExponentP},
        {OSSL_PKEY_PARAM_RSA_EXPONENT2, support::kExponentQ},
        {OSSL_PKEY_PARAM_RSA_COEFFICIENT1, support::kCoefficient},
    };
    for (const auto& [param, part] : parts) {
        if (!isPrivate && part > support::kPublic)
            break;
        BIGNUM* raw = nullptr;
        if (!EVP_PKEY_get_bn_param(pkey.get(), param, &raw)) {
            ctx.Broke("files.saved", file + " holds no " + kKeyParts[part].name);
            continue;
        }
        const Bignum value(raw);
        if (support::FromBignum(value.get()) != key[part])
            ctx.Broke("files.saved", Expected(std::string("the ") + kKeyParts[part].name + " in " + file,
                                              ShownNumber(key[part]), ShownNumber(support::FromBignum(value.get()))));
    }
    return true;
}

// A text as the reports can show it whatever bytes it holds.
std::string Shown(const std::string& text)
{
    return "'" + support::EscapeAsyText(text) + "'";
}

struct SaveSlot {
    const char* extension;
    HRESULT (IUserRSA::*save)(const char*);
    const char* call;
    bool isPrivate;
};

constexpr SaveSlot kWky = {".wky", &IUserRSA::SaveWkyFile, "IUserRSA::SaveWkyFile", false};
constexpr SaveSlot kRky = {".rky", &IUserRSA::SaveRkyFile, "IUserRSA::SaveRkyFile", true};
constexpr SaveSlot kAsy = {".asy", &IUserRSA::SaveAsyFile, "IUserRSA::SaveAsyFile", true};

// Saves through one of the three slots Tarvel2 calls; the file's text, or
// nullopt once said why. A private file must be the owner's alone: the
// check's umask is 0, so the component has to ask for it.
std::optional<std::string> Save(Context& ctx, IUserRSA& rsa, const SaveSlot& slot, const std::string& path)
{
    ctx.Calling(slot.call);
    if (!CallSucceeded(ctx, (rsa.*slot.save)(path.c_str()), slot.call))
        return std::nullopt;
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        ctx.Broke("files.saved", std::string(slot.call) + " succeeded but wrote no file " + path);
        return std::nullopt;
    }
    if (slot.isPrivate && (info.st_mode & 077)) {
        char mode[8];
        std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(info.st_mode & 07777));
        ctx.Fail(std::string("the private key file ") + slot.extension + " is open to others (mode " + mode +
                 ", saved under umask 0000): private key files must be readable by the owner alone");
    }
    return support::ReadWholeFile(path);
}

void CheckPublicFile(Context& ctx, const std::string& text, const Key& key)
{
    for (const std::string& found : support::FindPrivateMaterial(text, key))
        ctx.Broke("files.public-no-secret", "the public key file .wky holds private material: " + found);
    CompareKeyFile(ctx, ".wky", text, key, false,
                   "OpenSSL cannot read the .wky file as PEM SubjectPublicKeyInfo ('BEGIN PUBLIC KEY'), the "
                   "bundled component's format");
}

void CheckPrivateFile(Context& ctx, const std::string& text, const Key& key)
{
    if (!CompareKeyFile(ctx, ".rky", text, key, true,
                        "OpenSSL cannot read the .rky file as a PEM private key (the bundled component writes "
                        "PKCS #8, 'BEGIN PRIVATE KEY')"))
        return;
    if (const std::string label = support::FirstPemLabel(text); label != "PRIVATE KEY")
        ctx.Choice("the .rky file is a PEM '" + label +
                   "' block; the bundled component writes PKCS #8 ('BEGIN PRIVATE KEY')");
}

// The record a component saved against what it held. A record that claims
// the documented format must say what was saved; another format is a choice.
void CheckAsyRecord(Context& ctx, const std::string& text, const AsyRecord& held, const std::string& what)
{
    const support::AsyReading reading = support::ReadAsyRecord(text);
    if (!reading.problem.empty() && !reading.onlySpelling) {
        if (text.rfind("tarvel-asy 1\n", 0) == 0)
            ctx.Broke("files.asy-round-trip",
                      "the .asy record saved " + what + " is broken: " + reading.problem +
                          "; the record no longer says what was saved (texts must be escaped as %HH)");
        else
            ctx.Choice("the .asy record saved " + what + " is not in the documented format: " + reading.problem);
        return;
    }
    if (!reading.problem.empty())
        ctx.Choice("the .asy record saved " + what + " differs from the documented spelling: " + reading.problem);
    if (reading.record.userId != held.userId)
        ctx.Broke("files.saved", Expected("the user id in the .asy record saved " + what, Shown(held.userId),
                                          Shown(reading.record.userId)));
    if (reading.record.code != held.code)
        ctx.Broke("files.saved",
                  Expected("the code in the .asy record saved " + what, Shown(held.code), Shown(reading.record.code)));
    for (std::size_t i = 0; i < kKeyParts.size(); ++i)
        if (reading.record.numbers[i] != held.numbers[i])
            ctx.Broke("files.saved",
                      Expected(std::string("the ") + kKeyParts[i].name + " in the .asy record saved " + what,
                               ShownNumber(held.numbers[i]), ShownNumber(reading.record.numbers[i])));
}

// What an object holds against a record: the key, and the texts where the
// getters are implemented (their absence was told elsewhere). Messages are
// passed to report so a caller decides between a failure and a choice.
template <class Report>
void CompareHeld(Context& ctx, IUserRSA& rsa, const AsyRecord& record, const std::string& when, Report report)
{
    if (const auto key = support::GetKey(ctx, rsa))
        for (std::size_t i = 0; i < kKeyParts.size(); ++i)
            if ((*key)[i] != record.numbers[i])
                report(Expected(std::string("the ") + kKeyParts[i].name + " " + when, ShownNumber(record.numbers[i]),
                                ShownNumber((*key)[i])));
    for (const auto& [get, call, text, name] :
         {std::tuple{&IUserRSA::GetUserId, "IUserRSA::GetUserId", &record.userId, "user id"},
          std::tuple{&IUserRSA::GetCode, "IUserRSA::GetCode", &record.code, "code"}}) {
        std::uint32_t length = 0;
        if ((rsa.*get)(nullptr, &length) == E_NOTIMPL)
            continue;
        if (const auto got = support::GetText(ctx, rsa, get, call); got && *got != *text)
            report(Expected(std::string("the ") + name + " " + when, Shown(*text), Shown(*got)));
    }
}

// LoadAsyFile of a record just saved, into a fresh object: the same key and
// texts, or a choice when the slot is not implemented (then false).
bool LoadBack(Context& ctx, const std::string& path, const AsyRecord& saved, const std::string& what)
{
    const auto loaded = support::Create<IUserRSA>(ctx, CryptoClassKind::UserRsa);
    if (!loaded)
        return false;
    ctx.Calling("IUserRSA::LoadAsyFile");
    const HRESULT hr = loaded->LoadAsyFile(path.c_str());
    if (hr == E_NOTIMPL) {
        ctx.Broke("slots.unused-implemented", "IUserRSA::LoadAsyFile is not implemented (neither program calls it)");
        return false;
    }
    if (FAILED(hr)) {
        ctx.Broke("files.asy-round-trip", "IUserRSA::LoadAsyFile refuses the record SaveAsyFile just wrote " + what +
                                              " (" + StatusText(hr) + ")");
        return true;
    }
    CompareHeld(ctx, *loaded.Get(), saved, "loaded from the .asy record saved " + what,
                [&](std::string message) { ctx.Broke("files.asy-round-trip", std::move(message)); });
    return true;
}

// The object's key numbers once its files have a folder to go in; saves then
// run under umask 0, so that a private file's mode is the component's own
// choice. nullopt once the check was told why not.
std::optional<Key> KeyToSave(Context& ctx, IUserRSA& rsa, const support::ScratchFolder& folder)
{
    if (!folder.Ready(ctx))
        return std::nullopt;
    auto key = support::GetKey(ctx, rsa);
    if (key)
        umask(0);
    return key;
}

void CheckKeyFiles(Context& ctx)
{
    const ComPtr<IUserRSA> rsa = support::Generated(ctx, 16);
    if (!rsa)
        return;
    ctx.Calling("IUserRSA::SetCode");
    if (!CallSucceeded(ctx, rsa->SetCode("12345", 5), "IUserRSA::SetCode"))
        return;
    const support::ScratchFolder folder("tarvel-check");
    const auto key = KeyToSave(ctx, *rsa.Get(), folder);
    if (!key)
        return;
    const std::string base = folder.Path() + "/Checked";
    if (const auto text = Save(ctx, *rsa.Get(), kWky, base + ".wky"))
        CheckPublicFile(ctx, *text, *key);
    if (const auto text = Save(ctx, *rsa.Get(), kRky, base + ".rky"))
        CheckPrivateFile(ctx, *text, *key);
    const AsyRecord held{"Checker", "12345", *key};
    if (const auto text = Save(ctx, *rsa.Get(), kAsy, base + ".asy")) {
        CheckAsyRecord(ctx, *text, held, "for the user id 'Checker'");
        LoadBack(ctx, base + ".asy", held, "for the user id 'Checker'");
    }
}

// Texts a careless writer breaks: line ends that forge fields, '%', '=',
// control characters, bytes that are not UTF-8 and valid UTF-8 to keep.
void CheckAsyTexts(Context& ctx)
{
    const ComPtr<IUserRSA> rsa = support::Generated(ctx, 2);
    if (!rsa)
        return;
    const support::ScratchFolder folder("tarvel-check");
    const auto key = KeyToSave(ctx, *rsa.Get(), folder);
    if (!key)
        return;
    using namespace std::string_literals;
    const std::pair<std::string, std::string> texts[] = {
        {"Mallory\nprivate-key=1", "100% = a=b"},
        {"tab\tbell\a nul\0end\r\x7f"s, "two\nlines\n"},
        {"caf\xe9 \xff\xfe\x80", "caf\xc3\xa9 %41 \xe2\x82\xac"},
    };
    bool loadable = true;
    for (const auto& [userId, code] : texts) {
        const std::string what = "for the user id " + Shown(userId) + " and the code " + Shown(code);
        ctx.Calling("IUserRSA::SetUserId");
        if (!CallSucceeded(ctx, rsa->SetUserId(userId.data(), static_cast<std::uint32_t>(userId.size())),
                           "IUserRSA::SetUserId"))
            return;
        ctx.Calling("IUserRSA::SetCode");
        if (!CallSucceeded(ctx, rsa->SetCode(code.data(), static_cast<std::uint32_t>(code.size())),
                           "IUserRSA::SetCode"))
            return;
        const std::string path = folder.Path() + "/Texts.asy";
        const auto text = Save(ctx, *rsa.Get(), kAsy, path);
        if (!text)
            return;
        const AsyRecord held{userId, code, *key};
        CheckAsyRecord(ctx, *text, held, what);
        if (loadable)
            loadable = LoadBack(ctx, path, held, what);
    }
}

// Records a reader must refuse, each made from a good one.
std::vector<std::pair<std::string, std::string>> MalformedRecords(const std::string& good)
{
    std::vector<std::string> lines;
    std::istringstream in(good);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    auto joined = [](const std::vector<std::string>& parts) {
        std::string text;
        for (const std::string& line : parts)
            text += line + "\n";
        return text;
    };
    auto with = [&](std::size_t index, const std::string& line) {
        std::vector<std::string> changed = lines;
        changed[index] = line;
        return joined(changed);
    };
    auto without = [&](std::size_t index) {
        std::vector<std::string> changed = lines;
        changed.erase(changed.begin() + static_cast<std::ptrdiff_t>(index));
        return joined(changed);
    };
    // Line 0 is the header, 1 user-id, 2 code, 3 base, 4 public-key, 5
    // private-key ... 10 coefficient.
    std::string badHex = lines[3];
    badHex[badHex.size() / 2 + 3] = 'g';
    return {
        {"no code field", without(2)},
        {"no coefficient field", without(10)},
        {"the user-id field twice", joined({lines[0], lines[1], "user-id=Mallory", lines[2], lines[3], lines[4],
                                            lines[5], lines[6], lines[7], lines[8], lines[9], lines[10]})},
        {"an unknown field 'comment'", good + "comment=hello\n"},
        {"a line without '='", good + "base\n"},
        {"a base that is not hex", with(3, badHex)},
        {"a %-escape cut short ('%4' at the end of the user id)", with(1, "user-id=Checker%4")},
        {"a %-escape of no hex digits ('%zz')", with(1, "user-id=%zzChecker")},
        {"the first line 'tarvel-asy 2'", with(0, "tarvel-asy 2")},
        {"no first line", without(0)},
        {"nothing at all (an empty file)", ""},
        {"more than 64 KiB (the good record and 64 KiB of empty lines)", good + std::string(64 * 1024, '\n')},
        {"a private key of 257 words", with(5, "private-key=1" + std::string(256 * 8, '0'))},
        {"a base of 0", with(3, "base=0")},
        {"no base (an empty value)", with(3, "base=")},
        {"a public exponent of 0", with(4, "public-key=0")},
    };
}

void CheckAsyMalformed(Context& ctx)
{
    auto random = support::Generator(ctx);
    const auto key = support::SeededKey(random, 2, 65537, support::PrimeOrder::PAboveQ);
    const auto rsa = support::Create<IUserRSA>(ctx, CryptoClassKind::UserRsa);
    const support::ScratchFolder folder("tarvel-check");
    if (!key || !rsa || !folder.Ready(ctx))
        return;
    const AsyRecord record{"Checker", "777", *key};
    const std::string good = support::FormatAsyRecord(record);
    const std::string path = folder.Path() + "/Record.asy";
    if (!support::WriteWholeFile(path, good)) {
        ctx.Skip("cannot write the record " + path);
        return;
    }
    ctx.Calling("IUserRSA::LoadAsyFile (a well-formed record)");
    if (const HRESULT hr = rsa->LoadAsyFile(path.c_str()); hr == E_NOTIMPL) {
        ctx.Broke("slots.unused-implemented", "IUserRSA::LoadAsyFile is not implemented (neither program calls it)");
        return;
    } else if (FAILED(hr)) {
        ctx.Choice("IUserRSA::LoadAsyFile refuses a well-formed record in the documented format (" + StatusText(hr) +
                   "), so malformed ones cannot be told apart");
        return;
    }
    CompareHeld(ctx, *rsa.Get(), record, "loaded from a well-formed .asy record",
                [&](std::string message) { ctx.Broke("files.asy-round-trip", std::move(message)); });
    if (ctx.Failed())
        return;
    for (const auto& [defect, text] : MalformedRecords(good)) {
        if (!support::WriteWholeFile(path, text)) {
            ctx.Skip("cannot write the record " + path);
            return;
        }
        ctx.Calling("IUserRSA::LoadAsyFile (a record with " + defect + ")");
        const HRESULT hr = rsa->LoadAsyFile(path.c_str());
        if (SUCCEEDED(hr)) {
            ctx.Broke("files.asy-round-trip", "IUserRSA::LoadAsyFile accepted a record with " + defect + " (" +
                                                  StatusText(hr) + "): a reader must refuse it");
            continue;
        }
        CompareHeld(ctx, *rsa.Get(), record, "after LoadAsyFile refused a record with " + defect,
                    [&](std::string message) { ctx.Choice(message + " (a refused load should leave the key alone)"); });
    }
}

}  // namespace

std::vector<CheckDef> KeyFileChecks(const SuiteOptions&)
{
    return {
        {"rsa.key-files",
         "the three key files: private ones the owner's alone under any umask, no private number in the public one, "
         "each read back (OpenSSL, LoadAsyFile)",
         &CheckKeyFiles},
        {"rsa.asy-texts",
         "user ids and codes with line ends, '%', '=', control bytes and non-UTF-8 bytes survive SaveAsyFile and "
         "LoadAsyFile",
         &CheckAsyTexts},
        {"rsa.asy-malformed",
         "LoadAsyFile refuses malformed records (fields missing, twice or unknown, bad hex or escapes, wrong first "
         "line, over 64 KiB, oversized numbers) and keeps its key",
         &CheckAsyMalformed},
    };
}

}  // namespace checks

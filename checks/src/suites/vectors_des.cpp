// The DES known-answer tables of NIST's validation suite. They come as
// triple-DES files whose three keys are equal, which is single DES.
#include "suites/vectors_families.h"
#include "suites/vectors_probes.h"
#include "suites/vectors_records.h"

#include <algorithm>

namespace checks::vectors {
namespace {

constexpr const char* kDesFolder = "ciphers/3DES/ECB/";

using support::Hex;

std::optional<Block> BlockField(Context& ctx, const VectorFile& file, const VectorRecord& record, std::string_view key)
{
    const auto bytes = HexField(ctx, file, record, key);
    if (!bytes)
        return std::nullopt;
    if (bytes->size() != 8) {
        ctx.Fail(file.Name() + " line " + std::to_string(record.line) + ": " + std::string(key) + " has " +
                 std::to_string(bytes->size()) + " bytes, not 8");
        return std::nullopt;
    }
    Block block;
    std::copy(bytes->begin(), bytes->end(), block.begin());
    return block;
}

// The field holding the single key of a record: "KEYs", or KEY1 when KEY2
// and KEY3 repeat it; null for a record of three different keys.
const char* SingleKeyField(const VectorRecord& record)
{
    if (record.Get("KEYs"))
        return "KEYs";
    const std::string* key1 = record.Get("KEY1");
    const std::string* key2 = record.Get("KEY2");
    const std::string* key3 = record.Get("KEY3");
    if (key1 && key2 && key3 && *key1 == *key2 && *key1 == *key3)
        return "KEY1";
    return nullptr;
}

void CheckDesTable(Context& ctx, const std::string& fileName)
{
    const auto file = LoadVectorFile(ctx, PackagePath(ctx.Options(), kDesFolder + fileName), Source::VectorPackage);
    if (!file)
        return;
    const auto des = support::Create<IUserDES>(ctx, CryptoClassKind::UserDes);
    if (!des)
        return;
    DesProbe probe(ctx, *des.Get());
    MismatchLog log(ctx, file->Name());
    std::size_t checked = 0;
    for (const VectorRecord& record : file->records) {
        const bool encrypt = record.section == "ENCRYPT";
        if (!encrypt && record.section != "DECRYPT")
            continue;
        const char* keyField = SingleKeyField(record);
        if (!keyField)
            continue;
        const auto key = BlockField(ctx, *file, record, keyField);
        const auto plain = key ? BlockField(ctx, *file, record, "PLAINTEXT") : std::nullopt;
        const auto cipher = plain ? BlockField(ctx, *file, record, "CIPHERTEXT") : std::nullopt;
        if (!cipher)
            return;
        if (!probe.SetKey(*key))
            return;
        const Block& in = encrypt ? *plain : *cipher;
        const Block& expected = encrypt ? *cipher : *plain;
        const auto got = probe.Crypt(in, encrypt);
        if (!got)
            return;
        ++checked;
        if (*got != expected) {
            const std::string* count = record.Get("COUNT");
            log.Add(Mismatch(file->Name() + " [" + record.section + "] COUNT = " + (count ? *count : "?") + " (line " +
                                 std::to_string(record.line) + "): " + (encrypt ? "Encrypt of " : "Decrypt of ") +
                                 Hex(in.data(), in.size()) + " under the key " + Hex(key->data(), key->size()),
                             Hex(expected.data(), expected.size()), Hex(got->data(), got->size())));
        }
    }
    if (checked == 0) {
        ctx.Fail(file->path + " holds no single-DES vectors");
        return;
    }
    log.Finish(checked);
}

}  // namespace

std::vector<CheckDef> DesVectorChecks(const SuiteOptions& opts)
{
    struct Table {
        const char* name;
        const char* file;
        const char* what;
    };
    static const Table tables[] = {
        {"varkey", "TECBvarkey.rsp", "every single key bit"},
        {"vartext", "TECBvartext.rsp", "every single plaintext bit"},
        {"invperm", "TECBinvperm.rsp", "the inverse initial permutation"},
        {"permop", "TECBpermop.rsp", "the permutation operation"},
        {"subtab", "TECBsubtab.rsp", "the substitution tables"},
    };
    std::vector<CheckDef> checks;
    for (const Table& table : tables)
        checks.push_back(
            ReadingFiles({std::string("vectors.des.") + table.name,
                          std::string("DES known answers for ") + table.what + " (NIST " + table.file + ")",
                          [file = std::string(table.file)](Context& ctx) { CheckDesTable(ctx, file); }},
                         {PackagePath(opts, kDesFolder + std::string(table.file))}));
    return checks;
}

}  // namespace checks::vectors

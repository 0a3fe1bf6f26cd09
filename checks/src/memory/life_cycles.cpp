#include "memory/life_cycles.h"

#include "suites/support.h"

namespace checks::memory {
namespace {

using support::Words;

// Small enough that a cycle takes milliseconds natively, a key all the same.
constexpr std::uint32_t kKeyWords = 8;

class RsaLifeCycle final : public LifeCycle {
public:
    explicit RsaLifeCycle(std::string folder) : m_folder(std::move(folder)) {}

    std::string ClassName() const override { return "IUserRSA"; }
    std::vector<std::string> Steps() const override
    {
        return {"IUserRSA::GenerateKey", "the copy through the getters and setters",
                "IUserRSA::Encrypt",     "IUserRSA::Decrypt",
                "IUserRSA::SaveWkyFile", "IUserRSA::SaveRkyFile",
                "IUserRSA::SaveAsyFile"};
    }

    bool Run(Context& ctx, std::size_t steps) override
    {
        auto source = support::Create<IUserRSA>(ctx, CryptoClassKind::UserRsa);
        if (!source || steps < 1)
            return static_cast<bool>(source);
        ctx.Calling("IUserRSA::GenerateKey");
        if (!CallSucceeded(ctx, source->GenerateKey("Memory", kKeyWords), "IUserRSA::GenerateKey"))
            return false;
        if (steps < 2)
            return true;
        // As Tarvel2 does: every number into a second object, used from then on.
        const auto numbers = support::GetKey(ctx, *source);
        auto copy = support::Create<IUserRSA>(ctx, CryptoClassKind::UserRsa);
        if (!numbers || !copy || !support::SetKey(ctx, *copy, *numbers))
            return false;
        ctx.Calling("IUserRSA::SetUserId");
        if (!CallSucceeded(ctx, copy->SetUserId("Memory", 6), "IUserRSA::SetUserId"))
            return false;
        ctx.Calling("IUserRSA::SetCode");
        if (!CallSucceeded(ctx, copy->SetCode("60418", 5), "IUserRSA::SetCode"))
            return false;
        if (steps < 3)
            return true;
        Words message(kKeyWords, 0);
        message[0] = 0x600d1dea;
        const auto cipher = support::RsaCall(ctx, *copy, true, message);
        if (!cipher || steps < 4)
            return cipher.has_value();
        const auto back = support::RsaCall(ctx, *copy, false, *cipher);
        if (!back || steps < 5)
            return back.has_value();
        const struct {
            const char* call;
            HRESULT (IUserRSA::*save)(const char*);
            const char* file;
        } saves[] = {{"IUserRSA::SaveWkyFile", &IUserRSA::SaveWkyFile, "/MyKey.wky"},
                     {"IUserRSA::SaveRkyFile", &IUserRSA::SaveRkyFile, "/MyKey.rky"},
                     {"IUserRSA::SaveAsyFile", &IUserRSA::SaveAsyFile, "/MyKey.asy"}};
        std::size_t step = 5;
        for (const auto& save : saves) {
            if (step++ > steps)
                break;
            const std::string path = m_folder + save.file;
            ctx.Calling(save.call);
            IUserRSA& target = *copy;
            const HRESULT hr = (target.*save.save)(path.c_str());
            if (!CallSucceeded(ctx, hr, save.call))
                return false;
        }
        return true;
    }

private:
    std::string m_folder;
};

class DesLifeCycle final : public LifeCycle {
public:
    std::string ClassName() const override { return "IUserDES"; }
    std::vector<std::string> Steps() const override
    {
        return {"IUserDES::SetKey", "IUserDES::Encrypt", "IUserDES::Decrypt"};
    }

    bool Run(Context& ctx, std::size_t steps) override
    {
        auto des = support::Create<IUserDES>(ctx, CryptoClassKind::UserDes);
        if (!des || steps < 1)
            return static_cast<bool>(des);
        const std::uint32_t key[2] = {0x01234567, 0x89abcdef};
        std::uint32_t block[2] = {0x600d1dea, 0x0badcafe};
        ctx.Calling("IUserDES::SetKey");
        if (!CallSucceeded(ctx, des->SetKey(key), "IUserDES::SetKey"))
            return false;
        if (steps < 2)
            return true;
        ctx.Calling("IUserDES::Encrypt");
        if (!CallSucceeded(ctx, des->Encrypt(block), "IUserDES::Encrypt"))
            return false;
        if (steps < 3)
            return true;
        ctx.Calling("IUserDES::Decrypt");
        return CallSucceeded(ctx, des->Decrypt(block), "IUserDES::Decrypt");
    }
};

template <class Hash>
class HashLifeCycle final : public LifeCycle {
public:
    explicit HashLifeCycle(CryptoClassKind kind) : m_kind(kind), m_data(1000, 0x5a) {}

    std::string ClassName() const override { return support::ClassOf(m_kind).interfaceName; }
    std::vector<std::string> Steps() const override { return {ClassName() + "::HashData", ClassName() + "::GetHash"}; }

    bool Run(Context& ctx, std::size_t steps) override
    {
        auto hash = support::Create<Hash>(ctx, m_kind);
        if (!hash || steps < 1)
            return static_cast<bool>(hash);
        const std::string name = ClassName();
        ctx.Calling(name + "::HashData");
        if (!CallSucceeded(ctx, hash->HashData(m_data.data(), static_cast<std::uint32_t>(m_data.size())),
                           name + "::HashData"))
            return false;
        if (steps < 2)
            return true;
        std::uint8_t digest[20] = {};
        ctx.Calling(name + "::GetHash");
        return CallSucceeded(ctx, hash->GetHash(digest), name + "::GetHash");
    }

private:
    CryptoClassKind m_kind;
    std::vector<std::uint8_t> m_data;
};

}  // namespace

std::unique_ptr<LifeCycle> MakeLifeCycle(CryptoClassKind kind, const std::string& folder)
{
    switch (kind) {
    case CryptoClassKind::UserRsa:
        return std::make_unique<RsaLifeCycle>(folder);
    case CryptoClassKind::UserDes:
        return std::make_unique<DesLifeCycle>();
    case CryptoClassKind::HashSha1:
        return std::make_unique<HashLifeCycle<IHashSHA1>>(kind);
    case CryptoClassKind::HashMd5:
        return std::make_unique<HashLifeCycle<IHashMD5>>(kind);
    }
    return nullptr;
}

}  // namespace checks::memory

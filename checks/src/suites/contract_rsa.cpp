// The binary contract of IUserRSA: the getter size protocol against guard
// pages, the text getters, the setters' limits, Clear, the raw operation's
// counts, and whether the slots sit where the interface puts them.
#include "suites/contract_checks.h"
#include "suites/key_audit.h"
#include "suites/support.h"

#include <checks/guarded_buffer.h>

#include <openssl/bn.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <utility>

namespace checks::contract {
namespace {

using support::Expected;
using support::KeyPart;
using support::kKeyParts;
using support::Words;

constexpr std::uint32_t kKeyWords = 4;

ComPtr<IUserRSA> WithKey(Context& ctx, std::uint32_t keyWords)
{
    ComPtr<IUserRSA> rsa = support::Create<IUserRSA>(ctx, CryptoClassKind::UserRsa);
    if (!rsa)
        return rsa;
    ctx.Calling("IUserRSA::GenerateKey");
    if (!CallSucceeded(ctx, rsa->GenerateKey("Checker", keyWords), "IUserRSA::GenerateKey"))
        rsa.Release();
    return rsa;
}

// One getter through every step of the protocol; false once it went wrong.
bool CheckGetterProtocol(Context& ctx, IUserRSA& rsa, const KeyPart& part)
{
    const std::string call = std::string("IUserRSA::") + part.getter;
    std::uint32_t need = 0xFFFFFFFFu;
    ctx.Calling(call + " (size query)");
    if (!CallSucceeded(ctx, (rsa.*part.get)(nullptr, &need), call + " with a null buffer"))
        return false;
    if (need == 0 || need > 2 * kKeyWords) {
        ctx.Fail(call + " with a null buffer reports " + std::to_string(need) + " words for the " + part.name +
                 " of a " + std::to_string(kKeyWords) + "-word key");
        return false;
    }
    bool ok = true;
    {
        GuardedBuffer exact(4 * need, GuardedBuffer::Use::Output);
        std::uint32_t count = need;
        ctx.Calling(call + " (exact buffer)");
        if (!CallSucceeded(ctx, (rsa.*part.get)(exact.Words(), &count),
                           call + " with a buffer of exactly " + std::to_string(need) + " words"))
            return false;
        if (count != need) {
            ctx.Fail(Expected(call + " into an exact buffer", std::to_string(need) + " words written",
                              std::to_string(count)));
            ok = false;
        }
        if (const std::string damage = exact.CanaryDamage(); !damage.empty()) {
            ctx.Fail(call + " " + damage);
            ok = false;
        }
    }
    {
        GuardedBuffer shortBuffer(4 * (need - 1), GuardedBuffer::Use::Output);
        std::uint32_t count = need - 1;
        ctx.Calling(call + " (capacity one short)");
        const HRESULT hr = (rsa.*part.get)(need > 1 ? shortBuffer.Words() : shortBuffer.Words(), &count);
        if (SUCCEEDED(hr)) {
            ctx.Fail(Expected(call + " with a capacity one word short", "a failure status", StatusText(hr)));
            ok = false;
        } else if (hr != static_cast<HRESULT>(0x8007007Au)) {
            ctx.Choice(
                Expected(call + " with a capacity one word short", "0x8007007A (buffer too small)", StatusText(hr)));
        }
        // Within the capacity given, so not unsafe: writing nothing is the
        // bundled component's protocol.
        if (!shortBuffer.Untouched())
            ctx.Choice(call + " with a capacity one word short failed but wrote into the buffer");
        if (const std::string damage = shortBuffer.CanaryDamage(); !damage.empty()) {
            ctx.Fail(call + " with a capacity one word short " + damage);
            ok = false;
        }
        if (FAILED(hr) && count != need)
            ctx.Choice(Expected(call + " with a capacity one word short",
                                "*count set to the " + std::to_string(need) + " words needed", std::to_string(count)));
    }
    return ok;
}

void CheckSizeProtocol(Context& ctx)
{
    ComPtr<IUserRSA> rsa = WithKey(ctx, kKeyWords);
    if (!rsa)
        return;
    for (const KeyPart& part : kKeyParts)
        CheckGetterProtocol(ctx, *rsa, part);
}

// A text getter: the size query, a buffer with room for the terminator, and
// one without that room.
void CheckTextGetter(Context& ctx, IUserRSA& rsa, HRESULT (IUserRSA::*get)(char*, std::uint32_t*),
                     const std::string& call, const std::string& text)
{
    std::uint32_t length = 0xFFFFFFFFu;
    ctx.Calling(call + " (size query)");
    if (!support::UncalledSlotSucceeded(ctx, (rsa.*get)(nullptr, &length), call))
        return;
    if (length != text.size()) {
        ctx.Fail(
            Expected(call + " with a null buffer", std::to_string(text.size()) + " bytes", std::to_string(length)));
        return;
    }
    {
        GuardedBuffer room(text.size() + 1, GuardedBuffer::Use::Output);
        std::uint32_t capacity = static_cast<std::uint32_t>(text.size() + 1);
        ctx.Calling(call);
        if (!support::UncalledSlotSucceeded(ctx, (rsa.*get)(room.Chars(), &capacity),
                                            call + " with room for the terminator"))
            return;
        if (std::memcmp(room.Chars(), text.c_str(), text.size() + 1) != 0)
            ctx.Fail(Expected(call, "'" + text + "' and its terminator",
                              "'" + std::string(room.Chars(), strnlen(room.Chars(), text.size() + 1)) + "'"));
        if (capacity != text.size() && capacity != text.size() + 1)
            ctx.Fail(Expected(call, "the length " + std::to_string(text.size()) + " written back",
                              std::to_string(capacity)));
        if (const std::string damage = room.CanaryDamage(); !damage.empty())
            ctx.Fail(call + " " + damage);
    }
    GuardedBuffer tight(text.size(), GuardedBuffer::Use::Output);
    std::uint32_t capacity = static_cast<std::uint32_t>(text.size());
    ctx.Calling(call + " (no room for the terminator)");
    const HRESULT hr = (rsa.*get)(tight.Chars(), &capacity);
    if (SUCCEEDED(hr))
        ctx.Fail(Expected(call + " with no room for the terminator", "a failure status", StatusText(hr)));
    if (const std::string damage = tight.CanaryDamage(); !damage.empty())
        ctx.Fail(call + " with no room for the terminator " + damage);
    else if (!tight.Untouched())
        ctx.Choice(call + " with no room for the terminator failed but wrote into the buffer");
}

void CheckTextGetters(Context& ctx)
{
    ComPtr<IUserRSA> rsa = support::Create<IUserRSA>(ctx, CryptoClassKind::UserRsa);
    if (!rsa)
        return;
    const std::string userId = "Checker of texts";
    const std::string code = "27182";
    ctx.Calling("IUserRSA::SetUserId");
    if (!CallSucceeded(ctx, rsa->SetUserId(userId.c_str(), static_cast<std::uint32_t>(userId.size())),
                       "IUserRSA::SetUserId"))
        return;
    ctx.Calling("IUserRSA::SetCode");
    if (!CallSucceeded(ctx, rsa->SetCode(code.c_str(), static_cast<std::uint32_t>(code.size())), "IUserRSA::SetCode"))
        return;
    CheckTextGetter(ctx, *rsa, &IUserRSA::GetUserId, "IUserRSA::GetUserId", userId);
    CheckTextGetter(ctx, *rsa, &IUserRSA::GetCode, "IUserRSA::GetCode", code);
}

// Every count of an object without a key is 0.
void ExpectEmpty(Context& ctx, IUserRSA& rsa, const std::string& when)
{
    std::uint32_t words = 0xFFFFFFFFu;
    ctx.Calling("IUserRSA::GetKeyLength");
    if (CallSucceeded(ctx, rsa.GetKeyLength(&words), "IUserRSA::GetKeyLength") && words != 0)
        ctx.Fail(Expected("IUserRSA::GetKeyLength " + when, "0", std::to_string(words)));
    for (const KeyPart& part : kKeyParts) {
        std::uint32_t count = 0xFFFFFFFFu;
        const std::string call = std::string("IUserRSA::") + part.getter;
        ctx.Calling(call);
        if (CallSucceeded(ctx, (rsa.*part.get)(nullptr, &count), call + " " + when) && count != 0)
            ctx.Fail(Expected(call + " " + when, "0 words", std::to_string(count)));
    }
    for (auto [get, name] :
         {std::pair{&IUserRSA::GetUserId, "IUserRSA::GetUserId"}, std::pair{&IUserRSA::GetCode, "IUserRSA::GetCode"}}) {
        std::uint32_t length = 0xFFFFFFFFu;
        ctx.Calling(name);
        if (support::UncalledSlotSucceeded(ctx, (rsa.*get)(nullptr, &length), std::string(name) + " " + when) &&
            length != 0)
            ctx.Fail(Expected(std::string(name) + " " + when, "0 bytes", std::to_string(length)));
    }
    Words in(2, 1);
    Words out(2, 0);
    std::uint32_t outWords = 2;
    ctx.Calling("IUserRSA::Encrypt");
    const HRESULT hr = rsa.Encrypt(in.data(), 2, out.data(), &outWords);
    if (SUCCEEDED(hr))
        ctx.Fail(Expected("IUserRSA::Encrypt " + when, "a failure status", StatusText(hr)));
}

void CheckEmptyAndClear(Context& ctx)
{
    ComPtr<IUserRSA> fresh = support::Create<IUserRSA>(ctx, CryptoClassKind::UserRsa);
    if (!fresh)
        return;
    ExpectEmpty(ctx, *fresh, "of a new object");
    ComPtr<IUserRSA> rsa = WithKey(ctx, 2);
    if (!rsa)
        return;
    ctx.Calling("IUserRSA::SetCode");
    rsa->SetCode("1", 1);
    ctx.Calling("IUserRSA::Clear");
    if (!CallSucceeded(ctx, rsa->Clear(), "IUserRSA::Clear"))
        return;
    ExpectEmpty(ctx, *rsa, "after Clear");
}

void CheckSetterLimits(Context& ctx)
{
    ComPtr<IUserRSA> rsa = support::Create<IUserRSA>(ctx, CryptoClassKind::UserRsa);
    if (!rsa)
        return;
    // 256 words is the largest key the programs generate; its copy must fit.
    Words largest(256, 0x89ABCDEFu);
    {
        GuardedBuffer input(4 * largest.size(), GuardedBuffer::Use::Input);
        std::memcpy(input.Words(), largest.data(), 4 * largest.size());
        ctx.Calling("IUserRSA::SetBase (256 words)");
        CallSucceeded(ctx, rsa->SetBase(input.Words(), 256), "IUserRSA::SetBase with 256 words");
        std::uint32_t words = 0;
        ctx.Calling("IUserRSA::GetBase (size query)");
        if (CallSucceeded(ctx, rsa->GetBase(nullptr, &words), "IUserRSA::GetBase") && words != 256)
            ctx.Fail(Expected("IUserRSA::GetBase after SetBase with 256 words", "256 words", std::to_string(words)));
    }
    Words tooLong(257, 0x89ABCDEFu);
    ctx.Calling("IUserRSA::SetBase (257 words)");
    if (const HRESULT hr = rsa->SetBase(tooLong.data(), 257); SUCCEEDED(hr))
        ctx.Choice(Expected("IUserRSA::SetBase with 257 words", "a failure (the bundled component's limit is 256)",
                            StatusText(hr)));
    const std::string longText(4097, 'x');
    ctx.Calling("IUserRSA::SetUserId (4097 bytes)");
    if (const HRESULT hr = rsa->SetUserId(longText.c_str(), 4097); SUCCEEDED(hr))
        ctx.Choice(Expected("IUserRSA::SetUserId with 4097 bytes",
                            "a failure (the bundled component's limit is 4096 bytes)", StatusText(hr)));
    ctx.Calling("IUserRSA::SetUserId (4096 bytes)");
    if (const HRESULT hr = rsa->SetUserId(longText.c_str(), 4096); hr == E_NOTIMPL)
        ctx.NotImplemented("IUserRSA::SetUserId");
    else if (FAILED(hr))
        ctx.Choice(
            Expected("IUserRSA::SetUserId with 4096 bytes", "success (the bundled component's limit)", StatusText(hr)));
}

// Where each number of a key sits, told by arithmetic alone: the base by its
// length, e by its size, the primes as the base's factors, and the rest
// computed from those and matched by value. A getter that answers from the
// wrong slot is then named with the number it gave.
class KeyRoles {
public:
    explicit KeyRoles(const std::array<Words, 8>& bySlot)
    {
        for (std::size_t i = 0; i < 8; ++i)
            m_values[i] = support::ToBignum(bySlot[i]);
        Find();
    }

    // The slot holding the number of role (an index into kKeyParts), or -1.
    int SlotOf(std::size_t role) const { return m_slotOf[role]; }
    // True when the numbers, in whatever slots, hold two distinct primes of
    // the right length, an e and its d: a sound key the slots may have mixed.
    bool Sound() const { return m_sound; }

private:
    int FindSlot(const BIGNUM* value) const
    {
        for (int slot = 0; slot < 8; ++slot)
            if (value && BN_cmp(m_values[slot].get(), value) == 0)
                return slot;
        return -1;
    }

    void Find()
    {
        m_slotOf.fill(-1);
        support::BignumContext bn(BN_CTX_new());
        const int keyBits = static_cast<int>(32 * kKeyWords);
        // The primes: two odd half-length probable primes whose product has
        // the base's length; the base is then the slot holding the product.
        std::vector<int> halves;
        for (int slot = 0; slot < 8; ++slot) {
            const int bits = BN_num_bits(m_values[slot].get());
            if (bits >= keyBits / 2 - 8 && bits <= keyBits / 2 + 8 && BN_is_odd(m_values[slot].get()) &&
                BN_check_prime(m_values[slot].get(), bn.get(), nullptr) == 1)
                halves.push_back(slot);
        }
        support::Bignum product(BN_new());
        std::vector<int> factors;
        for (std::size_t i = 0; i < halves.size() && factors.empty(); ++i)
            for (std::size_t j = i + 1; j < halves.size() && factors.empty(); ++j) {
                BN_mul(product.get(), m_values[halves[i]].get(), m_values[halves[j]].get(), bn.get());
                if (BN_num_bits(product.get()) == keyBits &&
                    BN_cmp(m_values[halves[i]].get(), m_values[halves[j]].get()) != 0)
                    factors = {halves[i], halves[j]};
            }
        if (factors.size() != 2)
            return;
        m_slotOf[support::kBase] = FindSlot(product.get());
        for (int slot = 0; slot < 8; ++slot) {
            const BIGNUM* v = m_values[slot].get();
            const int bits = BN_num_bits(v);
            if (bits > 1 && bits <= 64 && BN_is_odd(v) && m_slotOf[support::kPublic] < 0)
                m_slotOf[support::kPublic] = slot;
        }
        if (m_slotOf[support::kPublic] < 0)
            return;
        // p is the prime the coefficient inverts q modulo; try both ways, and
        // without a coefficient to tell, keep p where the slots put it.
        if (factors[1] == support::kPrimeP)
            std::swap(factors[0], factors[1]);
        for (int order = 0; order < 2; ++order) {
            const BIGNUM* p = m_values[factors[order]].get();
            const BIGNUM* q = m_values[factors[1 - order]].get();
            support::Bignum coefficient(BN_mod_inverse(nullptr, q, p, bn.get()));
            const int slot = FindSlot(coefficient.get());
            if (slot < 0 && order == 0) {
                support::Bignum other(BN_mod_inverse(nullptr, p, q, bn.get()));
                if (FindSlot(other.get()) >= 0)
                    continue;
            }
            m_slotOf[support::kPrimeP] = factors[order];
            m_slotOf[support::kPrimeQ] = factors[1 - order];
            m_slotOf[support::kCoefficient] = slot;
            const BIGNUM* e = m_values[m_slotOf[support::kPublic]].get();
            support::Bignum p1(BN_dup(p)), q1(BN_dup(q)), lambda(BN_new()), gcd(BN_new()), totient(BN_new());
            BN_sub_word(p1.get(), 1);
            BN_sub_word(q1.get(), 1);
            BN_gcd(gcd.get(), p1.get(), q1.get(), bn.get());
            BN_mul(totient.get(), p1.get(), q1.get(), bn.get());
            BN_div(lambda.get(), nullptr, totient.get(), gcd.get(), bn.get());
            support::Bignum d(BN_mod_inverse(nullptr, e, lambda.get(), bn.get()));
            if (!d)
                return;  // e has no inverse: no sound key in any order
            // A component may keep d modulo phi instead of lambda; either is d.
            int dSlot = FindSlot(d.get());
            support::Bignum dPhi(BN_mod_inverse(nullptr, e, totient.get(), bn.get()));
            if (dSlot < 0 && dPhi)
                dSlot = FindSlot(dPhi.get());
            m_slotOf[support::kPrivate] = dSlot;
            support::Bignum dp(BN_new()), dq(BN_new());
            BN_mod(dp.get(), d.get(), p1.get(), bn.get());
            BN_mod(dq.get(), d.get(), q1.get(), bn.get());
            m_slotOf[support::kExponentP] = FindSlot(dp.get());
            m_slotOf[support::kExponentQ] = FindSlot(dq.get());
            m_sound = dSlot >= 0;
            return;
        }
    }

    std::array<support::Bignum, 8> m_values;
    std::array<int, 8> m_slotOf;
    bool m_sound = false;
};

void CheckSlotLayout(Context& ctx)
{
    ComPtr<IUserRSA> rsa = WithKey(ctx, kKeyWords);
    if (!rsa)
        return;
    support::CheckKeyLength(ctx, *rsa, kKeyWords, "GenerateKey with " + std::to_string(kKeyWords) + " words");
    // Read one by one, past failures: the shapes of the rest still tell.
    std::array<Words, 8> key;
    for (std::size_t i = 0; i < kKeyParts.size(); ++i)
        if (auto number = support::GetNumber(ctx, *rsa, kKeyParts[i]))
            key[i] = std::move(*number);
    // The key itself first: a broken key is reported as such, and the slots
    // are blamed only when their numbers make a sound key in another order.
    const std::vector<std::string> problems = support::AuditKeyNumbers(key, kKeyWords);
    if (problems.empty())
        return;
    const KeyRoles roles(key);
    // Each getter's number against the shape its slot promises; when several
    // answer for their neighbours, say so once instead of eight times.
    std::vector<std::string> wrong;
    std::map<int, int> shifts;  // slot distance -> how many numbers sit that far off
    for (std::size_t role = 0; role < kKeyParts.size(); ++role) {
        const int slot = roles.SlotOf(role);
        if (slot == static_cast<int>(role))
            continue;
        if (slot < 0) {
            wrong.push_back(std::string("no getter returns the ") + kKeyParts[role].name + " (expected from " +
                            kKeyParts[role].getter + ")");
            continue;
        }
        ++shifts[static_cast<int>(role) - slot];
        wrong.push_back(std::string(kKeyParts[slot].getter) + " returns the " + kKeyParts[role].name +
                        " (expected from " + kKeyParts[role].getter + ")");
    }
    // Numbers merely missing are the key's fault; numbers in each other's
    // slots are the slots'.
    if (shifts.empty() || !roles.Sound()) {
        std::string text = "the generated key is broken, whatever slots its numbers come from:";
        for (const std::string& problem : problems)
            text += "\n" + problem;
        ctx.Fail(text);
        return;
    }
    // Most numbers one distance off: the table is shorter than the interface
    // or has a slot too many before the getters.
    std::string text = "the getters do not return the numbers of their slots";
    for (const auto& [distance, count] : shifts)
        if (count >= 5)
            text = "the getters answer " + std::to_string(std::abs(distance)) + " slot" +
                   (std::abs(distance) == 1 ? "" : "s") + (distance > 0 ? " late" : " early") +
                   ": the method table looks shifted";
    for (const std::string& line : wrong)
        text += "\n" + line;
    ctx.Fail(text);
}

void CheckOperationCounts(Context& ctx)
{
    ComPtr<IUserRSA> rsa = WithKey(ctx, kKeyWords);
    if (!rsa)
        return;
    const auto base = support::GetNumber(ctx, *rsa, kKeyParts[support::kBase]);
    if (!base)
        return;
    GuardedBuffer in(4 * kKeyWords, GuardedBuffer::Use::Input);
    for (std::uint32_t i = 0; i < kKeyWords; ++i)
        in.Words()[i] = 0x01020304u + i;
    in.Words()[kKeyWords - 1] = 0;  // below the base
    for (const bool encrypt : {true, false}) {
        const std::string call = encrypt ? "IUserRSA::Encrypt" : "IUserRSA::Decrypt";
        auto op = [&](const std::uint32_t* data, std::uint32_t inWords, std::uint32_t* out, std::uint32_t* outWords) {
            ctx.Calling(call);
            return encrypt ? rsa->Encrypt(data, inWords, out, outWords) : rsa->Decrypt(data, inWords, out, outWords);
        };
        {
            GuardedBuffer out(4 * kKeyWords, GuardedBuffer::Use::Output);
            std::uint32_t outWords = kKeyWords;
            if (CallSucceeded(ctx, op(in.Words(), kKeyWords, out.Words(), &outWords), call)) {
                if (outWords > kKeyWords)
                    ctx.Fail(Expected(call + " into " + std::to_string(kKeyWords) + " words",
                                      "at most that many written", std::to_string(outWords)));
                if (const std::string damage = out.CanaryDamage(); !damage.empty())
                    ctx.Fail(call + " " + damage);
            }
        }
        {
            GuardedBuffer out(4 * (kKeyWords - 1), GuardedBuffer::Use::Output);
            std::uint32_t outWords = kKeyWords - 1;
            const HRESULT hr = op(in.Words(), kKeyWords, out.Words(), &outWords);
            if (SUCCEEDED(hr) && outWords < kKeyWords - 1)
                ;  // a result with leading zero words may fit; nothing to say
            else if (SUCCEEDED(hr))
                ctx.Choice(
                    Expected(call + " into a buffer one word short of the key length", "a failure", StatusText(hr)));
            if (const std::string damage = out.CanaryDamage(); !damage.empty())
                ctx.Fail(call + " with a buffer one word short " + damage);
        }
        {
            GuardedBuffer shortIn(4 * (kKeyWords - 1), GuardedBuffer::Use::Input);
            std::memcpy(shortIn.Words(), in.Words(), 4 * (kKeyWords - 1));
            Words out(kKeyWords + 1, 0);
            std::uint32_t outWords = kKeyWords + 1;
            const HRESULT hr = op(shortIn.Words(), kKeyWords - 1, out.data(), &outWords);
            // The programs always pass the key's length; reading only the
            // words given is what the guard page holds the component to.
            if (SUCCEEDED(hr))
                ctx.Choice(Expected(call + " of " + std::to_string(kKeyWords - 1) + " words for a " +
                                        std::to_string(kKeyWords) + "-word key",
                                    "a failure status", StatusText(hr)));
        }
        {
            Words out(kKeyWords, 0);
            std::uint32_t outWords = kKeyWords;
            const HRESULT hr = op(base->data(), kKeyWords, out.data(), &outWords);
            if (SUCCEEDED(hr))
                ctx.Choice(Expected(call + " of the base itself", "a failure status (input not below the base)",
                                    StatusText(hr)));
        }
    }
}

}  // namespace

void AddRsaChecks(std::vector<CheckDef>& checks, Level)
{
    checks.push_back({"contract.rsa.size-protocol",
                      "every number getter: size query, exact buffer, capacity one short (against guard pages)",
                      &CheckSizeProtocol});
    checks.push_back(
        {"contract.rsa.text-getters", "user id and code through the text getters' protocol", &CheckTextGetters});
    checks.push_back({"contract.rsa.empty-and-clear", "a new object and a cleared one report every count as 0",
                      &CheckEmptyAndClear});
    checks.push_back(
        {"contract.rsa.setter-limits", "setters take the largest key and text, and refuse larger", &CheckSetterLimits});
    checks.push_back(
        {"contract.rsa.slot-layout", "every getter returns the number its slot promises", &CheckSlotLayout});
    checks.push_back({"contract.rsa.operation-counts",
                      "Encrypt and Decrypt: key-length input only, below the base, output within its capacity",
                      &CheckOperationCounts});
}

}  // namespace checks::contract

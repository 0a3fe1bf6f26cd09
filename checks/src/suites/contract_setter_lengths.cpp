// Every text and number setter reads exactly the length it is given: each
// input ends right at a guard page with no terminator after it, so a setter
// that reads on (to a NUL, or one word more) faults inside this check and is
// reported as reading past the capacity.
#include "suites/contract_checks.h"
#include "suites/seeded_keys.h"
#include "suites/support.h"

#include <checks/guarded_buffer.h>

#include <algorithm>
#include <cstring>

namespace checks::contract {
namespace {

using support::Expected;
using support::kKeyParts;

struct TextSlot {
    const char* setter;
    const char* getter;
    HRESULT (IUserRSA::*set)(const char*, std::uint32_t);
    HRESULT (IUserRSA::*get)(char*, std::uint32_t*);
};

constexpr TextSlot kTextSlots[] = {
    {"IUserRSA::SetUserId", "IUserRSA::GetUserId", &IUserRSA::SetUserId, &IUserRSA::GetUserId},
    {"IUserRSA::SetCode", "IUserRSA::GetCode", &IUserRSA::SetCode, &IUserRSA::GetCode},
};

void CheckSetterLengths(Context& ctx)
{
    const auto rsa = support::Create<IUserRSA>(ctx, CryptoClassKind::UserRsa);
    if (!rsa)
        return;
    const std::string text = "no terminator follows";
    for (const TextSlot& slot : kTextSlots) {
        GuardedBuffer input(text.size(), GuardedBuffer::Use::Input);
        std::memcpy(input.Chars(), text.data(), text.size());
        ctx.Calling(std::string(slot.setter) + " (" + std::to_string(text.size()) + " bytes against a guard page)");
        if (!CallSucceeded(ctx, ((*rsa.Get()).*slot.set)(input.Chars(), static_cast<std::uint32_t>(text.size())),
                           slot.setter))
            continue;
        if (const auto back = support::GetText(ctx, *rsa.Get(), slot.get, slot.getter); back && *back != text)
            ctx.Fail(Expected(std::string(slot.getter) + " after " + slot.setter + " of '" + text + "' (" +
                                  std::to_string(text.size()) + " bytes, no terminator)",
                              "'" + text + "'", "'" + *back + "'"));
    }

    // The numbers of a real key, each from a buffer of exactly its words.
    auto random = support::Generator(ctx);
    const auto key = support::SeededKey(random, 4, 65537, support::PrimeOrder::PAboveQ);
    if (!key)
        return;
    for (std::size_t i = 0; i < kKeyParts.size(); ++i) {
        const support::Words& number = (*key)[i];
        GuardedBuffer input(4 * number.size(), GuardedBuffer::Use::Input);
        std::copy(number.begin(), number.end(), input.Words());
        const std::string call = std::string("IUserRSA::") + kKeyParts[i].setter;
        ctx.Calling(call + " (" + std::to_string(number.size()) + " words against a guard page)");
        if (!CallSucceeded(
                ctx, ((*rsa.Get()).*kKeyParts[i].set)(input.Words(), static_cast<std::uint32_t>(number.size())), call))
            return;
    }
    if (const auto back = support::GetKey(ctx, *rsa.Get()))
        for (std::size_t i = 0; i < kKeyParts.size(); ++i)
            if ((*back)[i] != (*key)[i])
                ctx.Fail(Expected(std::string(kKeyParts[i].getter) + " after " + kKeyParts[i].setter +
                                      " from a buffer of exactly its words",
                                  support::ShownNumber((*key)[i]), support::ShownNumber((*back)[i])));

    // A length of 0 reads nothing at all, not even the first byte; any
    // status will do, on an object of its own.
    const auto empty = support::Create<IUserRSA>(ctx, CryptoClassKind::UserRsa);
    if (!empty)
        return;
    GuardedBuffer nothing(0, GuardedBuffer::Use::Input);
    for (const TextSlot& slot : kTextSlots) {
        ctx.Calling(std::string(slot.setter) + " (0 bytes at a guard page)");
        ((*empty.Get()).*slot.set)(nothing.Chars(), 0);
    }
    for (const auto& part : kKeyParts) {
        ctx.Calling(std::string("IUserRSA::") + part.setter + " (0 words at a guard page)");
        ((*empty.Get()).*part.set)(nothing.Words(), 0);
    }
}

}  // namespace

void AddSetterLengthChecks(std::vector<CheckDef>& checks, Level)
{
    checks.push_back({"contract.rsa.setter-lengths",
                      "every text and number setter reads exactly the length given (inputs end at a guard page)",
                      &CheckSetterLengths});
}

}  // namespace checks::contract

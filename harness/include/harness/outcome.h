// What a sequence of component calls hands back: its results, or the call
// that let it down. Nothing here shows anything; the programs and the
// conformance runner decide how a failure is told.
#pragma once

#include <tarvel/com.h>

#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace harness {

struct CallFailure {
    // The call as the programs name it: "GenerateKey", "IUserDES::Encrypt",
    // or the step that is not a component call ("open" for a file).
    std::string call;
    // What the call returned. A success status means the call went through
    // but what it gave cannot be used; reason then says why.
    HRESULT status = E_FAIL;
    // A sentence for the user; empty when the failing status says it all.
    std::string reason;
};

// A failing status of call, with no more to say.
inline CallFailure FailedStatus(std::string call, HRESULT status)
{
    return {std::move(call), status, {}};
}

// A call that went through but whose result is unusable, for the reason given.
inline CallFailure UnusableResult(std::string call, std::string reason)
{
    return {std::move(call), S_OK, std::move(reason)};
}

// The failure, if any, of a sequence that also keeps what it got before it.
using MaybeFailure = std::optional<CallFailure>;

// Stands for "no value" in Result<Done>.
struct Done {};

// Either the value of a sequence that ran through, or its failure.
template <class T>
class [[nodiscard]] Result {
public:
    Result(T value) : m_outcome(std::in_place_index<0>, std::move(value)) {}
    Result(CallFailure failure) : m_outcome(std::in_place_index<1>, std::move(failure)) {}

    bool Ok() const { return m_outcome.index() == 0; }
    explicit operator bool() const { return Ok(); }

    // Only when Ok().
    const T& Value() const { return std::get<0>(m_outcome); }
    T& Value() { return std::get<0>(m_outcome); }
    const T* operator->() const { return &Value(); }
    // Only when !Ok().
    const CallFailure& Failure() const { return std::get<1>(m_outcome); }

private:
    std::variant<T, CallFailure> m_outcome;
};

}  // namespace harness

// IUnknown for the fake objects, and the guard that keeps exceptions inside.
// Their IUnknown records every call and can be told to fail, so only the
// kit's rule of which identities an object answers to is shared.
#pragma once

#include "call_recorder.h"
#include "fake_state.h"

#include <tarvel/call_guard.h>
#include <tarvel/ids.h>
#include <tarvel/unknown.h>

#include <cstdint>
#include <utility>

namespace fake {

// The course every recorded method shares: the arguments are recorded as they
// arrived, an injected status wins, otherwise the body answers.
template <class RecordArgs, class Body>
HRESULT RecordedCall(ObjectBase& object, const char* method, RecordArgs&& recordArgs, Body&& body) noexcept
{
    return tarvel::GuardedCall([&] {
        CallRecorder call(object, method);
        recordArgs(call);
        if (auto hr = call.Injected())
            return call.Return(*hr);
        return call.Return(body(call));
    });
}

// For a method that takes no argument worth recording.
template <class Body>
HRESULT RecordedCall(ObjectBase& object, const char* method, Body&& body) noexcept
{
    return RecordedCall(
        object, method, [](CallRecorder&) {}, std::forward<Body>(body));
}

// Answers one word through an out pointer, recorded under name.
inline HRESULT AnswerWord(CallRecorder& call, const char* name, std::uint32_t* out, std::uint32_t value)
{
    if (!out)
        return E_POINTER;
    *out = value;
    call.Out(name, value);
    return S_OK;
}

template <class Interface>
class FakeObject : public Interface, public ObjectBase {
public:
    FakeObject(const char* interfaceName, const IID& iid) : ObjectBase(interfaceName), m_iid(iid) {}

    HRESULT QueryInterface(const GUID& iid, void** ppv) override
    {
        return tarvel::GuardedCall([&] {
            CallRecorder call(*this, "QueryInterface");
            call.Arg("iid", iid == m_iid ? std::string(InterfaceName()) : iid == IID_IUnknown ? "IUnknown" : "other");
            if (!ppv)
                return call.Return(E_POINTER);
            *ppv = nullptr;
            if (auto hr = call.Injected())
                return call.Return(*hr);
            if (!tarvel::AnswersTo(iid, m_iid))
                return call.Return(E_NOINTERFACE);
            ++references;
            *ppv = static_cast<Interface*>(this);
            return call.Return(S_OK);
        });
    }

    ULONG AddRef() override
    {
        CallRecorder call(*this, "AddRef");
        call.Return(S_OK);
        return ++references;
    }

    // Objects stay in memory after the last release (until the next reset) so
    // that a caller's use after release is counted instead of corrupting memory.
    ULONG Release() override
    {
        std::lock_guard lock(State::Instance().mutex);
        if (!stale) {
            ++releases;
            if (references == 0)
                ++State::Instance().callsAfterRelease;
        }
        if (references > 0)
            --references;
        return references;
    }

private:
    IID m_iid;
};

}  // namespace fake

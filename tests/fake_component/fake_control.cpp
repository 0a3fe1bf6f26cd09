// The control functions tests use to drive and inspect the fake.
#include "fake_component_control.h"

#include "fake_state.h"

#include <cstring>
#include <string>

#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

using fake::State;

void AppendField(std::string& record, const std::string& value)
{
    record += std::to_string(value.size());
    record += ':';
    record += value;
}

void AppendFields(std::string& record, const std::vector<fake::Field>& fields)
{
    AppendField(record, std::to_string(fields.size()));
    for (const auto& field : fields) {
        AppendField(record, field.name);
        AppendField(record, field.value);
    }
}

std::size_t CopyOut(const std::string& text, char* buffer, std::size_t capacity)
{
    if (buffer && capacity > text.size()) {
        std::memcpy(buffer, text.data(), text.size());
        buffer[text.size()] = '\0';
    }
    return text.size();
}

}  // namespace

FAKE_EXPORT void fake_reset(void)
{
    std::lock_guard lock(State::Instance().mutex);
    State::Instance().Reset();
}

FAKE_EXPORT int fake_call_count(void)
{
    std::lock_guard lock(State::Instance().mutex);
    return static_cast<int>(State::Instance().calls.size());
}

FAKE_EXPORT std::size_t fake_call_record(int index, char* buffer, std::size_t capacity)
{
    try {
        std::lock_guard lock(State::Instance().mutex);
        const auto& calls = State::Instance().calls;
        if (index < 0 || static_cast<std::size_t>(index) >= calls.size())
            return 0;
        const fake::Call& call = calls[static_cast<std::size_t>(index)];
        std::string record;
        AppendField(record, std::to_string(call.object));
        AppendField(record, std::to_string(call.result));
        AppendField(record, call.method);
        AppendFields(record, call.args);
        AppendFields(record, call.outs);
        return CopyOut(record, buffer, capacity);
    } catch (...) {
        return 0;
    }
}

FAKE_EXPORT void fake_fail_creation(const GUID* clsid, int nth, HRESULT hr)
{
    if (!clsid)
        return;
    std::lock_guard lock(State::Instance().mutex);
    State::Instance().creationFailures.push_back({*clsid, hr, nth});
}

FAKE_EXPORT void fake_refuse_class(const GUID* clsid, HRESULT hr)
{
    if (!clsid)
        return;
    std::lock_guard lock(State::Instance().mutex);
    State::Instance().refusedClasses.emplace_back(*clsid, hr);
}

FAKE_EXPORT void fake_fail_method(const char* method, HRESULT hr, int object, int nth)
{
    if (!method)
        return;
    std::lock_guard lock(State::Instance().mutex);
    State::Instance().methodFailures.push_back({method, hr, object, nth});
}

FAKE_EXPORT void fake_set_reported_count(const char* method, std::uint32_t count)
{
    if (!method)
        return;
    std::lock_guard lock(State::Instance().mutex);
    State::Instance().reportedCounts[method] = count;
}

FAKE_EXPORT void fake_set_write_files(int enabled)
{
    std::lock_guard lock(State::Instance().mutex);
    State::Instance().writeFiles = enabled != 0;
}

FAKE_EXPORT int fake_live_objects(void)
{
    std::lock_guard lock(State::Instance().mutex);
    return State::Instance().LiveObjects();
}

FAKE_EXPORT int fake_created_objects(void)
{
    std::lock_guard lock(State::Instance().mutex);
    return State::Instance().CreatedObjects();
}

FAKE_EXPORT int fake_releases_of(int object)
{
    std::lock_guard lock(State::Instance().mutex);
    const fake::ObjectBase* found = State::Instance().Find(object);
    return found ? found->releases : 0;
}

FAKE_EXPORT int fake_calls_after_release(void)
{
    std::lock_guard lock(State::Instance().mutex);
    return State::Instance().callsAfterRelease;
}

FAKE_EXPORT std::size_t fake_object_interface(int object, char* buffer, std::size_t capacity)
{
    std::lock_guard lock(State::Instance().mutex);
    const fake::ObjectBase* found = State::Instance().Find(object);
    return found ? CopyOut(found->InterfaceName(), buffer, capacity) : 0;
}

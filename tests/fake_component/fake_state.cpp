#include "fake_state.h"

#include <algorithm>

namespace fake {

State& State::Instance()
{
    static State state;
    return state;
}

void State::Reset()
{
    calls.clear();
    methodFailures.clear();
    creationFailures.clear();
    refusedClasses.clear();
    reportedCounts.clear();
    writeFiles = false;
    callsAfterRelease = 0;
    // A caller may still hold a live object from before the reset; freeing it
    // would turn its later Release into a use after free.
    std::erase_if(m_objects, [](const auto& object) { return object->references == 0; });
    for (auto& object : m_objects)
        object->stale = true;
    m_nextSerial = 1;
}

int State::Adopt(std::unique_ptr<ObjectBase> object)
{
    object->serial = m_nextSerial++;
    m_objects.push_back(std::move(object));
    return m_objects.back()->serial;
}

ObjectBase* State::Find(int serial)
{
    for (auto& object : m_objects)
        if (!object->stale && object->serial == serial)
            return object.get();
    return nullptr;
}

int State::LiveObjects() const
{
    return static_cast<int>(std::count_if(m_objects.begin(), m_objects.end(),
                                          [](const auto& object) { return !object->stale && object->references > 0; }));
}

std::optional<HRESULT> State::MethodFails(const std::string& method, int object)
{
    std::optional<HRESULT> result;
    for (auto& rule : methodFailures) {
        if (rule.method != method || (rule.object != 0 && rule.object != object))
            continue;
        ++rule.seen;
        if (!result && (rule.nth == 0 || rule.nth == rule.seen))
            result = rule.hr;
    }
    return result;
}

std::optional<HRESULT> State::CreationFails(const GUID& clsid)
{
    std::optional<HRESULT> result;
    for (auto& rule : creationFailures) {
        if (!(rule.clsid == clsid))
            continue;
        ++rule.seen;
        if (!result && (rule.nth == 0 || rule.nth == rule.seen))
            result = rule.hr;
    }
    return result;
}

std::optional<HRESULT> State::ClassRefused(const GUID& clsid) const
{
    for (const auto& [refused, hr] : refusedClasses)
        if (refused == clsid)
            return hr;
    return std::nullopt;
}

std::optional<std::uint32_t> State::ReportedCount(const std::string& method) const
{
    if (auto it = reportedCounts.find(method); it != reportedCounts.end())
        return it->second;
    return std::nullopt;
}

}  // namespace fake

// The fake's one process-wide state: the call log, the objects and the
// switches the control functions set.
#pragma once

#include <tarvel/com.h>

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace fake {

struct Field {
    std::string name;
    std::string value;
};

struct Call {
    int object = 0;
    std::string method;
    std::vector<Field> args;
    std::vector<Field> outs;
    HRESULT result = S_OK;
};

// Identity and reference count shared by every fake object; the interfaces
// themselves have no virtual destructor, so the state owns objects through
// this base.
class ObjectBase {
public:
    explicit ObjectBase(const char* interfaceName) : m_interface(interfaceName) {}
    virtual ~ObjectBase() = default;
    ObjectBase(const ObjectBase&) = delete;
    ObjectBase& operator=(const ObjectBase&) = delete;

    const char* InterfaceName() const { return m_interface; }
    int serial = 0;
    std::uint32_t references = 1;
    int releases = 0;
    bool stale = false;  // alive across a reset: no longer observed

private:
    const char* m_interface;
};

struct MethodFailure {
    std::string method;
    HRESULT hr;
    int object;
    int nth;
    int seen = 0;
};

struct CreationFailure {
    GUID clsid;
    HRESULT hr;
    int nth;
    int seen = 0;
};

class State {
public:
    static State& Instance();

    std::mutex mutex;

    void Reset();
    // Takes ownership of a newly created object and numbers it.
    int Adopt(std::unique_ptr<ObjectBase> object);
    ObjectBase* Find(int serial);
    int LiveObjects() const;
    int CreatedObjects() const { return m_nextSerial - 1; }

    // The injected status for this call, if a switch says it fails.
    std::optional<HRESULT> MethodFails(const std::string& method, int object);
    std::optional<HRESULT> CreationFails(const GUID& clsid);
    std::optional<HRESULT> ClassRefused(const GUID& clsid) const;
    std::optional<std::uint32_t> ReportedCount(const std::string& method) const;

    std::vector<Call> calls;
    std::vector<MethodFailure> methodFailures;
    std::vector<CreationFailure> creationFailures;
    std::vector<std::pair<GUID, HRESULT>> refusedClasses;
    std::map<std::string, std::uint32_t> reportedCounts;
    bool writeFiles = false;
    int callsAfterRelease = 0;
    int serverLocks = 0;

private:
    State() = default;
    std::vector<std::unique_ptr<ObjectBase>> m_objects;
    int m_nextSerial = 1;
};

}  // namespace fake

#include "runtime/object_binding.h"

#include "shared_library.h"

#include <tarvel/ids.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char* kComponentVariable = "TARVEL_COMPONENT";
constexpr const char* kBundledRelative = "/../lib/tarvel/libtarvel_crypto.so";

thread_local std::string t_lastError;

std::string ExecutableDirectory()
{
    char buffer[4096];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0)
        return {};
    std::string path(buffer, static_cast<std::size_t>(n));
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// Where the crypto classes come from; an error text instead when the choice is
// unusable (a relative TARVEL_COMPONENT would depend on the current folder).
struct Binding {
    std::string path;
    std::string error;
};

Binding ChooseLibrary()
{
    if (const char* chosen = std::getenv(kComponentVariable); chosen && *chosen) {
        if (chosen[0] != '/')
            return {{}, std::string(kComponentVariable) + " must be an absolute path, not '" + chosen + "'"};
        return {chosen, {}};
    }
    const std::string dir = ExecutableDirectory();
    if (dir.empty())
        return {{}, "cannot find the folder of the running program"};
    return {dir + kBundledRelative, {}};
}

// Loaded libraries are kept until process exit: objects hold code pointers
// into them, and DllCanUnloadNow gives no moment that is safe for every caller.
class LibraryRegistry {
public:
    static LibraryRegistry& Instance()
    {
        static LibraryRegistry registry;
        return registry;
    }

    const Binding& CurrentBinding()
    {
        std::lock_guard lock(m_mutex);
        if (!m_binding)
            m_binding = ChooseLibrary();
        return *m_binding;
    }

    void ForgetBinding()
    {
        std::lock_guard lock(m_mutex);
        m_binding.reset();
        m_served.reset();
    }

    void Serve(std::span<const CLSID> classes)
    {
        std::lock_guard lock(m_mutex);
        m_served.emplace(classes.begin(), classes.end());
    }

    bool Serves(const CLSID& clsid)
    {
        std::lock_guard lock(m_mutex);
        if (!m_served)
            return true;
        for (const CLSID& served : *m_served)
            if (served == clsid)
                return true;
        return false;
    }

    // The entry point of the library at path, loading it on first use.
    DllGetClassObjectFn EntryPoint(const std::string& path, std::string& error)
    {
        std::lock_guard lock(m_mutex);
        if (auto it = m_loaded.find(path); it != m_loaded.end())
            return it->second.Resolve<DllGetClassObjectFn>("DllGetClassObject");

        struct stat info {};
        if (stat(path.c_str(), &info) != 0) {
            error = path + ": no such file";
            return nullptr;
        }
        if (!S_ISREG(info.st_mode)) {
            error = path + ": not a regular file";
            return nullptr;
        }
        std::string why;
        SharedLibrary library = SharedLibrary::Open(path, why);
        if (!library.IsLoaded()) {
            error = path + ": not a loadable shared library (" + why + ")";
            return nullptr;
        }
        auto entry = library.Resolve<DllGetClassObjectFn>("DllGetClassObject");
        if (!entry) {
            error = path + ": exports no DllGetClassObject";
            return nullptr;
        }
        m_loaded.emplace(path, std::move(library));
        return entry;
    }

private:
    LibraryRegistry() = default;

    std::mutex m_mutex;
    std::optional<Binding> m_binding;
    std::optional<std::vector<CLSID>> m_served;  // none named: every class
    std::map<std::string, SharedLibrary> m_loaded;
};

HRESULT Fail(HRESULT hr, std::string why)
{
    t_lastError = std::move(why);
    return hr;
}

}  // namespace

int AfxOleInit()
{
    const Binding& binding = LibraryRegistry::Instance().CurrentBinding();
    t_lastError = binding.error;
    return binding.error.empty() ? 1 : 0;
}

std::string ComponentLibraryPath()
{
    return LibraryRegistry::Instance().CurrentBinding().path;
}

void ServeClasses(std::span<const CLSID> classes)
{
    LibraryRegistry::Instance().Serve(classes);
}

void ResetComponentBindingForTesting()
{
    LibraryRegistry::Instance().ForgetBinding();
}

std::string CoLastErrorText()
{
    return t_lastError;
}

HRESULT CoCreateInstance(const CLSID& clsid, IUnknown* outer, std::uint32_t clsctx, const IID& iid, void** ppv)
{
    if (!ppv)
        return Fail(E_POINTER, "no place given for the new object");
    *ppv = nullptr;
    if (outer)
        return Fail(CLASS_E_NOAGGREGATION, "objects cannot be aggregated");
    if (!(clsctx & CLSCTX_INPROC_SERVER))
        return Fail(REGDB_E_CLASSNOTREG, "only in-process servers are available");
    if (!LibraryRegistry::Instance().Serves(clsid))
        return Fail(REGDB_E_CLASSNOTREG, "class is not registered");

    const Binding binding = LibraryRegistry::Instance().CurrentBinding();
    if (!binding.error.empty())
        return Fail(REGDB_E_CLASSNOTREG, binding.error);

    std::string error;
    DllGetClassObjectFn entry = LibraryRegistry::Instance().EntryPoint(binding.path, error);
    if (!entry)
        return Fail(REGDB_E_CLASSNOTREG, error);

    IClassFactory* factory = nullptr;
    HRESULT hr = E_FAIL;
    try {
        hr = entry(clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory));
    } catch (...) {
        return Fail(E_FAIL, binding.path + ": DllGetClassObject threw an exception");
    }
    if (FAILED(hr) || !factory)
        return Fail(FAILED(hr) ? hr : E_FAIL,
                    binding.path + ": class refused by the component (" + StatusCode(hr) + ")");

    void* object = nullptr;
    try {
        hr = factory->CreateInstance(nullptr, iid, &object);
    } catch (...) {
        hr = E_FAIL;
    }
    factory->Release();
    if (FAILED(hr) || !object)
        return Fail(FAILED(hr) ? hr : E_NOINTERFACE,
                    binding.path + ": object or interface refused by the component (" + StatusCode(hr) + ")");

    *ppv = object;
    t_lastError.clear();
    return S_OK;
}

std::string StatusCode(HRESULT status)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(status));
    return text;
}

// Loading a component step by step, each step named when it fails: the path,
// the file, the loader, the entry points, then every class as the binding
// asks for it (factory, object, factory released).
#include "suites/library_handle.h"
#include "suites/support.h"

#include <checks/suites.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace checks {
namespace {

using support::Expected;

// The library with its entry point, or null after saying which step failed.
DllGetClassObjectFn OpenEntryPoint(Context& ctx, std::unique_ptr<support::LibraryHandle>& owner)
{
    const std::string& path = ctx.Options().componentPath;
    if (path.empty() || path[0] != '/') {
        ctx.Fail("the component path must be absolute, not '" + path + "'");
        return nullptr;
    }
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        ctx.Fail(path + ": " + (errno == ENOENT ? "no such file" : std::strerror(errno)));
        return nullptr;
    }
    if (!S_ISREG(info.st_mode)) {
        ctx.Fail(path + ": not a regular file");
        return nullptr;
    }
    if (access(path.c_str(), R_OK) != 0) {
        ctx.Fail(path + ": cannot be read (" + std::strerror(errno) + ")");
        return nullptr;
    }
    ctx.Calling("dlopen");
    owner = std::make_unique<support::LibraryHandle>(path, support::kLikeTheBinding);
    if (!owner->Loaded()) {
        ctx.Fail(path + ": not a loadable shared library (" + owner->Error() + ")");
        return nullptr;
    }
    auto entry = reinterpret_cast<DllGetClassObjectFn>(owner->Symbol("DllGetClassObject"));
    if (!entry)
        ctx.Fail(path + ": exports no DllGetClassObject");
    return entry;
}

void CheckLibrary(Context& ctx)
{
    std::unique_ptr<support::LibraryHandle> library;
    if (!OpenEntryPoint(ctx, library))
        return;
    using CanUnloadFn = HRESULT (*)();
    auto canUnload = reinterpret_cast<CanUnloadFn>(library->Symbol("DllCanUnloadNow"));
    if (!canUnload) {
        ctx.Choice("exports no DllCanUnloadNow (the programs never call it; the bundled component exports it)");
        return;
    }
    ctx.Calling("DllCanUnloadNow");
    const HRESULT hr = canUnload();
    if (hr != S_OK && hr != S_FALSE)
        ctx.Choice(Expected("DllCanUnloadNow (the programs never call it)", "S_OK or S_FALSE", StatusText(hr)));
}

// One step of making an object: true when it succeeded and gave what it was
// asked for. E_NOTIMPL is a step not implemented yet, any other refusal or a
// success that gave nothing a failure.
bool StepGave(Context& ctx, HRESULT hr, bool gave, const std::string& step, const std::string& name, const char* what)
{
    if (FAILED(hr)) {
        if (hr == E_NOTIMPL)
            ctx.NotImplemented(step + "(" + name + ")");
        else
            ctx.Fail(step + " refused " + name + " (" + StatusText(hr) + ")");
        return false;
    }
    if (!gave)
        ctx.Fail(step + " reports success (" + StatusText(hr) + ") for " + name + " with a null " + what);
    return gave;
}

// The steps the binding takes for one class, each told apart.
void CheckClass(Context& ctx, const CryptoClass& entry)
{
    std::unique_ptr<support::LibraryHandle> library;
    const DllGetClassObjectFn get = OpenEntryPoint(ctx, library);
    if (!get)
        return;
    const std::string name = entry.interfaceName;
    IClassFactory* factory = nullptr;
    ctx.Calling("DllGetClassObject(" + name + ")");
    HRESULT hr = get(entry.clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory));
    // The binding reads the pointer only after a success.
    if (FAILED(hr) && factory)
        ctx.Choice("DllGetClassObject refused " + name + " (" + StatusText(hr) + ") but left a pointer behind");
    if (!StepGave(ctx, hr, factory != nullptr, "DllGetClassObject", name, "factory"))
        return;
    ComPtr<IClassFactory> factoryRef;
    factoryRef.Attach(factory);

    ComPtr<IUnknown> object;
    ctx.Calling("IClassFactory::CreateInstance(" + name + ")");
    hr = factory->CreateInstance(nullptr, entry.iid, object.Put());
    if (!StepGave(ctx, hr, static_cast<bool>(object), "IClassFactory::CreateInstance", name, "object"))
        return;
    // The binding releases the factory before it uses the object.
    ctx.Calling("IClassFactory::Release");
    factoryRef.Release();
    ComPtr<IUnknown> again;
    ctx.Calling(name + "::QueryInterface(" + name + ") after the factory was released");
    hr = object->QueryInterface(entry.iid, again.Put());
    // A crash here is the object depending on its factory (a failure); a
    // refused QueryInterface only a choice, as the programs never call it.
    if (SUCCEEDED(hr) && !again)
        ctx.Fail(name + "::QueryInterface for its own interface succeeded without an object");
    else if (FAILED(hr))
        ctx.Choice(name + "::QueryInterface for its own interface failed after the factory was released (" +
                   StatusText(hr) + ")");

    // And through the programs' own binding.
    again.Release();
    ctx.Calling("CoCreateInstance(" + name + ")");
    hr = CoCreateInstance(entry.clsid, nullptr, CLSCTX_INPROC_SERVER, entry.iid, again.Put());
    if (FAILED(hr) || !again)
        ctx.Fail("the programs' binding cannot create " + name + ": " + CoLastErrorText() + " (" + StatusText(hr) +
                 ")");
}

void CheckUnknownClass(Context& ctx)
{
    std::unique_ptr<support::LibraryHandle> library;
    const DllGetClassObjectFn get = OpenEntryPoint(ctx, library);
    if (!get)
        return;
    // A class of nobody's: the last word of IUserRSA's class, changed.
    CLSID unknown = CLSID_UserRSA;
    unknown.Data4[7] ^= 0x5A;
    void* factory = reinterpret_cast<void*>(1);
    ctx.Calling("DllGetClassObject(unknown class)");
    const HRESULT hr = get(unknown, IID_IClassFactory, &factory);
    if (SUCCEEDED(hr))
        ctx.Fail(Expected("DllGetClassObject for an unknown class", "a failure status", StatusText(hr)));
    else if (factory != nullptr)
        ctx.Choice("DllGetClassObject for an unknown class failed but did not set the factory pointer to null");
    else if (hr != CLASS_E_CLASSNOTAVAILABLE)
        ctx.Choice(Expected("DllGetClassObject for an unknown class", "CLASS_E_CLASSNOTAVAILABLE (0x80040111)",
                            StatusText(hr)));
}

}  // namespace

CheckDef LibraryLoadCheck()
{
    return {"load.library", "the file is a shared library that loads and exports the two entry points", &CheckLibrary};
}

std::vector<CheckDef> LoadSuite(const SuiteOptions&)
{
    std::vector<CheckDef> checks{LibraryLoadCheck()};
    for (const CryptoClass& entry : kCryptoClasses)
        checks.push_back(
            {std::string("load.class.") + support::ShortName(entry.kind),
             std::string("a factory for ") + entry.interfaceName + ", an object of it, and the factory released",
             [&entry](Context& ctx) { CheckClass(ctx, entry); }});
    checks.push_back({"load.unknown-class", "a class the component does not serve is refused", &CheckUnknownClass});
    return checks;
}

}  // namespace checks

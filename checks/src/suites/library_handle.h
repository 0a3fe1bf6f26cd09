// One dlopen reference to a component's library, closed with its owner. The
// binding keeps a reference of its own, so closing this one never unloads a
// library the binding still uses.
#pragma once

#include <dlfcn.h>

#include <string>

namespace checks::support {

// How the load checks open the library: as the binding does.
inline constexpr int kLikeTheBinding = RTLD_NOW | RTLD_LOCAL;
// How the memory checks open it once more: never unloaded (RTLD_NODELETE),
// as the binding keeps it for the life of the process too, and a component
// need not survive an unload.
inline constexpr int kNeverUnloaded = RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE;

class LibraryHandle {
public:
    // flags as dlopen takes them; a failure's reason is kept for Error().
    LibraryHandle(const std::string& path, int flags) : m_handle(dlopen(path.c_str(), flags))
    {
        if (!m_handle) {
            const char* why = dlerror();
            m_error = why ? why : "unknown reason";
        }
    }
    ~LibraryHandle()
    {
        if (m_handle)
            dlclose(m_handle);
    }
    LibraryHandle(const LibraryHandle&) = delete;
    LibraryHandle& operator=(const LibraryHandle&) = delete;

    bool Loaded() const { return m_handle != nullptr; }
    const std::string& Error() const { return m_error; }
    void* Symbol(const char* name) const { return m_handle ? dlsym(m_handle, name) : nullptr; }

private:
    void* m_handle;
    std::string m_error;
};

}  // namespace checks::support

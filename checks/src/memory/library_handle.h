// The component's library opened once more by a memory check, and never
// unloaded (RTLD_NODELETE): the binding keeps it for the life of the process
// too, and a component need not survive an unload.
#pragma once

#include <dlfcn.h>

#include <string>

namespace checks::memory {

class LibraryHandle {
public:
    explicit LibraryHandle(const std::string& path)
        : m_handle(dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE))
    {
    }
    ~LibraryHandle()
    {
        if (m_handle)
            dlclose(m_handle);
    }
    LibraryHandle(const LibraryHandle&) = delete;
    LibraryHandle& operator=(const LibraryHandle&) = delete;

    bool Loaded() const { return m_handle != nullptr; }
    void* Symbol(const char* name) const { return m_handle ? dlsym(m_handle, name) : nullptr; }

private:
    void* m_handle;
};

}  // namespace checks::memory

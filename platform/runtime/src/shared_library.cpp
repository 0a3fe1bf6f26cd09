#include "shared_library.h"

#include <dlfcn.h>

#include <utility>

SharedLibrary::SharedLibrary(SharedLibrary&& other) noexcept : m_handle(std::exchange(other.m_handle, nullptr)) {}

SharedLibrary& SharedLibrary::operator=(SharedLibrary&& other) noexcept
{
    if (this != &other) {
        Close();
        m_handle = std::exchange(other.m_handle, nullptr);
    }
    return *this;
}

SharedLibrary::~SharedLibrary()
{
    Close();
}

SharedLibrary SharedLibrary::Open(const std::string& path, std::string& error)
{
    dlerror();
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = dlerror();
        error = why ? why : "cannot be loaded";
        return SharedLibrary();
    }
    return SharedLibrary(handle);
}

void* SharedLibrary::ResolveRaw(const char* name) const
{
    return m_handle ? dlsym(m_handle, name) : nullptr;
}

void SharedLibrary::Close()
{
    if (void* handle = std::exchange(m_handle, nullptr))
        dlclose(handle);
}

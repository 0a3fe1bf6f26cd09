// RAII owner of one dlopen handle with typed symbol lookup.
#pragma once

#include <string>

class SharedLibrary {
public:
    SharedLibrary() = default;
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;
    SharedLibrary(SharedLibrary&& other) noexcept;
    SharedLibrary& operator=(SharedLibrary&& other) noexcept;
    ~SharedLibrary();

    // Loads an absolute path with every symbol bound now. On failure returns
    // an empty owner and puts the loader's reason into error.
    static SharedLibrary Open(const std::string& path, std::string& error);

    bool IsLoaded() const { return m_handle != nullptr; }

    template <class Fn>
    Fn Resolve(const char* name) const
    {
        return reinterpret_cast<Fn>(ResolveRaw(name));
    }

private:
    explicit SharedLibrary(void* handle) : m_handle(handle) {}
    void* ResolveRaw(const char* name) const;
    void Close();

    void* m_handle = nullptr;
};

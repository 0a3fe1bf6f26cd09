// Owner of one reference to a component object: released exactly once, when
// the owner is reset, reassigned or destroyed.
#pragma once

#include <tarvel/com.h>

#include <utility>

template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : m_p(std::exchange(other.m_p, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept
    {
        if (this != &other)
            Attach(std::exchange(other.m_p, nullptr));
        return *this;
    }
    ~ComPtr() { Release(); }

    T* Get() const { return m_p; }
    T* operator->() const { return m_p; }
    T& operator*() const { return *m_p; }
    explicit operator bool() const { return m_p != nullptr; }

    // Releases the held object and hands out the slot for a creation call.
    void** Put()
    {
        Release();
        return reinterpret_cast<void**>(&m_p);
    }

    // Drops the reference (if any) and leaves the pointer null.
    void Release()
    {
        if (T* p = std::exchange(m_p, nullptr))
            p->Release();
    }

    void Attach(T* p)
    {
        Release();
        m_p = p;
    }

    void Swap(ComPtr& other) noexcept { std::swap(m_p, other.m_p); }

private:
    T* m_p = nullptr;
};

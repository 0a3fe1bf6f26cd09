// For components written in C++: no exception may cross the binary
// interface, so every method body runs inside GuardedCall, which turns one
// into a status (E_OUTOFMEMORY for std::bad_alloc, E_FAIL for anything else).
//
//     HRESULT Object::Encrypt(...) override
//     {
//         return tarvel::GuardedCall([&] { ...; return S_OK; });
//     }
#pragma once

#include <tarvel/com.h>

#include <new>

namespace tarvel {

template <class Body>
HRESULT GuardedCall(Body&& body) noexcept
{
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_FAIL;
    }
}

}  // namespace tarvel

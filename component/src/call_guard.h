// No exception may cross the binary interface: every method body runs inside
// GuardedCall, which turns one into a status.
#pragma once

#include <tarvel/com.h>

#include <new>

namespace tarvel::component {

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

}  // namespace tarvel::component

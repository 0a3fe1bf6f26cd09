// One owner for every OpenSSL object: a unique_ptr whose deleter is the
// object's own free function, so each is freed exactly once and the kind of
// free (plain, clearing) is named where the owner type is declared.
#pragma once

#include <memory>

namespace tarvel {

template <auto FreeFn>
struct OpenSslFree {
    template <class T>
    void operator()(T* p) const
    {
        FreeFn(p);
    }
};

template <class T, auto FreeFn>
using OpenSslPtr = std::unique_ptr<T, OpenSslFree<FreeFn>>;

}  // namespace tarvel

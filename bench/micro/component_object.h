// Objects of the crypto component, created the way the programs create them:
// by class id through CoCreateInstance, called through the interface slots.
#pragma once

#include "runtime/object_binding.h"
#include "runtime/com_ptr.h"

#include <stdexcept>
#include <string>
#include <tarvel/crypto.h>

namespace bench {

// Thrown for a failed component call; benchmarks turn it into a skip with
// the text, so a broken component never shows up as a figure.
class ComponentError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

inline void Check(HRESULT hr, const char* call)
{
    if (FAILED(hr))
        throw ComponentError(std::string(call) + " failed with status " + std::to_string(hr));
}

template <class T>
ComPtr<T> CreateObject(const CLSID& clsid, const IID& iid)
{
    static const bool bound = AfxOleInit() != 0;
    if (!bound)
        throw ComponentError("no component library can be named (is TARVEL_COMPONENT absolute?)");
    ComPtr<T> object;
    const HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, iid, object.Put());
    if (FAILED(hr) || !object)
        throw ComponentError("creating the object failed: " + CoLastErrorText());
    return object;
}

}  // namespace bench

#include <benchmark/benchmark.h>

#include <exception>

namespace bench {

// Runs a benchmark body; any failure (setup, component call, a result that
// disagrees with OpenSSL) ends the benchmark as an error instead of a figure.
template <class Body>
void Guarded(benchmark::State& state, Body&& body)
{
    try {
        body();
    } catch (const std::exception& error) {
        state.SkipWithError(error.what());
    }
}

}  // namespace bench

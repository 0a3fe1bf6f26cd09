// Creating component objects by class identifier.
//
// Which library serves the crypto classes: the absolute path in the
// environment variable TARVEL_COMPONENT when it is set, otherwise the bundled
// component at ../lib/tarvel/libtarvel_crypto.so next to the running
// executable. Libraries are opened with RTLD_NOW | RTLD_LOCAL and stay loaded
// for the life of the process, so no object can outlive its code.
//
// Which classes that library is asked for is the program's business, not the
// binding's: the program names them with ServeClasses before its first
// creation, and any other class is refused without loading anything.
#pragma once

#include <tarvel/com.h>

#include <span>
#include <string>

// Names the classes CoCreateInstance passes on to the component library; any
// other is refused with REGDB_E_CLASSNOTREG ("class is not registered").
// Replaces the classes named before. Until a program names any, every class
// is passed on, and the library refuses what it does not serve.
void ServeClasses(std::span<const CLSID> classes);

// Prepares the binding; returns nonzero on success, zero when no component
// library can be named (for example TARVEL_COMPONENT is relative).
int AfxOleInit();

HRESULT CoCreateInstance(const CLSID& clsid, IUnknown* outer, std::uint32_t clsctx, const IID& iid, void** ppv);

// A status as every message shows it: "0x80070057".
std::string StatusCode(HRESULT status);

// One line saying why the last failing CoCreateInstance on this thread failed
// (library file and cause), empty after a success.
std::string CoLastErrorText();

// The library that serves the crypto classes in this process (see above).
std::string ComponentLibraryPath();

// Drops the cached choice of library so that the next creation reads
// TARVEL_COMPONENT again, and the classes named by ServeClasses. Libraries
// already loaded stay loaded.
void ResetComponentBindingForTesting();

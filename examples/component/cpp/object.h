// What every object of the component shares: the kit's IUnknown (a
// reference count and the two identities QueryInterface answers to) and a use
// of the library's count, which DllCanUnloadNow asks. A method body that may
// throw (anything that allocates through the standard library) belongs
// inside tarvel::GuardedCall from <tarvel/call_guard.h>.
#pragma once

#include <tarvel/crypto.h>
#include <tarvel/module_count.h>
#include <tarvel/unknown.h>

// Live objects and factory locks of this library (entry_points.cpp).
extern tarvel::ModuleCount g_module;

// An object made for Interface, whose identifier is kInterfaceId.
template <typename Interface, const IID& kInterfaceId>
class Object : public tarvel::Unknown<Interface> {
public:
    Object() : tarvel::Unknown<Interface>(kInterfaceId) {}

private:
    tarvel::ModuleCount::Use m_use{g_module};
};

// The IUnknown of every object of the component, from the kit, and the count
// that keeps the library loaded while the object lives. Each object
// implements exactly one interface besides IUnknown.
#pragma once

#include "module_lifetime.h"

#include <tarvel/unknown.h>

namespace tarvel::component {

template <class Interface, const IID& kInterfaceId>
class ComObject : public Unknown<Interface> {
public:
    ComObject() : Unknown<Interface>(kInterfaceId) {}

private:
    ModuleCount::Use m_module{g_module};
};

}  // namespace tarvel::component

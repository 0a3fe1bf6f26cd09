// Whether the library may be unloaded: it may not while any object it made is
// alive or a caller holds a server lock.
#pragma once

#include <tarvel/module_count.h>

namespace tarvel::component {

// The one count of the library: every object and class factory holds a use
// of it, IClassFactory::LockServer locks it, DllCanUnloadNow asks it.
extern ModuleCount g_module;

}  // namespace tarvel::component

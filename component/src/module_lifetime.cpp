#include "module_lifetime.h"

namespace tarvel::component {

constinit ModuleCount g_module;

}  // namespace tarvel::component

// Whether the library may be unloaded: it may not while any object it made is
// alive or a caller holds a server lock.
#pragma once

namespace tarvel::component {

// Counts one live object for as long as it exists.
class ModuleReference {
public:
    ModuleReference();
    ~ModuleReference();
    ModuleReference(const ModuleReference&) = delete;
    ModuleReference& operator=(const ModuleReference&) = delete;
};

void LockModule();
void UnlockModule();
bool ModuleInUse();

}  // namespace tarvel::component

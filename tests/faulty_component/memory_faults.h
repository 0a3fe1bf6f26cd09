// The faulty component's memory and lifetime faults, kept apart from its
// wrong answers. Each hook does nothing unless TARVEL_FAULT names its fault:
//   leak-per-generate        GenerateKey loses 1 KiB of heap each call
//   descriptor-per-save      each of the three saves leaves a descriptor open
//   thread-left-running      the first IUserDES::SetKey starts a thread that
//                            runs until the process ends
//   sha1-heap-over-read      IHashSHA1::HashData copies the input to the
//                            heap and reads one byte past the copy
//   des-uninitialised-branch IUserDES::Encrypt branches on heap memory it
//                            never wrote (the result does not depend on it)
//   md5-freed-early          an IHashMD5 object frees itself on its
//                            second-last Release
//   unload-always-ok         DllCanUnloadNow answers S_OK even while
//                            objects live
// Without a fault DllCanUnloadNow is truthful: it counts live objects and
// factory references.
#pragma once

#include <tarvel/com.h>

#include <cstddef>
#include <cstdint>

namespace memory_faults {

void ObjectCreated();
void ObjectDestroyed();
void FactoryReferenced();
void FactoryReleased();
HRESULT CanUnloadNow();

// True when an object of interface iid must free itself at a Release that
// leaves `left` references.
bool FreeEarly(const IID& iid, unsigned long left);

void AfterGenerateKey();
void AfterSave();
void AfterDesSetKey();
void BeforeDesEncrypt();
void InspectSha1Input(const std::uint8_t* data, std::uint32_t bytes);

}  // namespace memory_faults

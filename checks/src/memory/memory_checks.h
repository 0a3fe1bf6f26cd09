// The bodies of the memory suite's checks.
#pragma once

#include <checks/check.h>
#include <tarvel/classes.h>

namespace checks::memory {

// Life cycles run before the first sample: caches, the allocator's pools
// and a library's lazy start settle in them.
inline constexpr int kWarmUpCycles = 5;

// N life cycles of one class: nothing the process holds grows with N; a
// growth is bisected over the protocol's steps.
void CheckLifeCycles(Context& ctx, CryptoClassKind kind, int cyclesPerRun);

// AddRef and Release of every class, the object alive until its last
// Release, DllCanUnloadNow truthful before and after.
void CheckReferences(Context& ctx);

// No thread the component started outlives its last object.
void CheckThreadsEnd(Context& ctx);

}  // namespace checks::memory

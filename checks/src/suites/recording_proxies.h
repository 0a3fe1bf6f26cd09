// Recording proxies: when a check keeps a record of its component calls
// (Context::Recorder), the objects it makes are wrapped in a proxy of the
// same interface whose every slot records the call and forwards it to the
// same slot of the component's object. The proxy changes no argument, no
// pointer and no answer (reference counts included), so every verdict is
// the one a run without a record gives.
//
// Proxies live until the process ends, whatever the component's reference
// counts say, so a wrong count never makes the checker touch freed memory.
// One component pointer always gives the same proxy, so identity checks keep
// their meaning.
#pragma once

#include <checks/check.h>

#include <tarvel/classes.h>

namespace checks::support {

// CoCreateInstance as the programs call it; with a recorder, recorded as a
// creation and *object then the new object's proxy.
HRESULT CreateObject(CallRecorder* recorder, const CryptoClass& entry, void** object);

}  // namespace checks::support

// One implementation timed in a test: the component, or one of the two
// controls that run beside it. The loop asks a subject for a batch of inputs
// before it times any of them, then, measurement by measurement, to set up
// (untimed, the same steps whatever the class) and to run the timed call.
#pragma once

#include "timing/welch.h"

#include <cstdint>
#include <string>
#include <vector>

namespace timing {

class Subject {
public:
    virtual ~Subject() = default;

    // Makes the inputs of the next batch, one per class in classes, before
    // any of them is timed. False after saying why in Error().
    virtual bool PrepareBatch(const std::vector<Class>& classes) = 0;
    // Untimed: moves slot's input (or key) into place. Both classes take the
    // same steps here, so nothing but the input differs at the timed call.
    virtual bool Setup(std::size_t slot) = 0;
    // The timed call.
    virtual bool Run() = 0;
    // Why the last call returned false.
    virtual std::string Error() const = 0;
    // Before a fresh set of measurements: draws anew what the subjects of
    // a test share by chance rather than by design (the block test's key),
    // so a false alarm that belongs to one such draw does not carry over.
    virtual void Reseed(std::uint64_t /*testSeed*/) {}
};

}  // namespace timing

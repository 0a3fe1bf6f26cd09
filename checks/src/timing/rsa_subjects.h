// The subjects of the RSA timing tests: the component's private operation,
// and its two controls.
//
// In the key test every measurement first sets its key through the setters
// and makes one untimed call with it, in both classes alike: what is timed
// is the private operation with that key, not the one-off loading of it
// (Montgomery contexts, blinding set-up), whose cost would drown the
// exponentiation.
#pragma once

#include "timing/rsa_classes.h"
#include "timing/subject.h"

#include <checks/check.h>

#include <runtime/com_ptr.h>
#include <tarvel/crypto.h>

#include <memory>

namespace timing {

// Each subject draws its own classes from its own RsaClasses.

// The component's Decrypt.
std::unique_ptr<Subject> ComponentRsaSubject(checks::Context& ctx, IUserRSA& rsa, RsaClasses classes);

// The leaky control. In the key test a textbook left-to-right
// square-and-multiply over d with OpenSSL's Montgomery multiplication,
// which multiplies only where d has a set bit; in the input tests OpenSSL's
// private operation followed, for inputs in the upper half of the modulus,
// by bits/32 extra Montgomery squarings: a final reduction that only big
// inputs take, costing about 1 % of the operation on half the random inputs.
std::unique_ptr<Subject> LeakyRsaSubject(RsaClasses classes);

// The constant-time control: OpenSSL's private operation (constant-time
// exponentiation with blinding) on the same keys and inputs.
std::unique_ptr<Subject> ConstantTimeRsaSubject(RsaClasses classes);

// Describes each subject for the note.
const char* LeakyRsaDescription(RsaTest test);
constexpr const char* kConstantTimeRsaDescription = "OpenSSL's blinded constant-time private operation";

}  // namespace timing

// Each class's whole protocol as the programs use it, cut into steps, so a
// life cycle can stop after any step: create, the first steps, release.
#pragma once

#include <checks/check.h>
#include <tarvel/classes.h>

#include <memory>
#include <string>
#include <vector>

namespace checks::memory {

class LifeCycle {
public:
    virtual ~LifeCycle() = default;
    // "IUserRSA"
    virtual std::string ClassName() const = 0;
    // The steps in order: "IUserRSA::GenerateKey", "the copy through the setters", ...
    virtual std::vector<std::string> Steps() const = 0;
    // Creates an object, takes it through the first steps and releases
    // everything. False after reporting a failed call.
    virtual bool Run(Context& ctx, std::size_t steps) = 0;
};

// RSA saves its key files into folder.
std::unique_ptr<LifeCycle> MakeLifeCycle(CryptoClassKind kind, const std::string& folder);

}  // namespace checks::memory

// What the bench times: each operation of the component, its answer checked
// against OpenSSL before any timing and again between samples, and the same
// work done by OpenSSL directly for --vs-openssl.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace bench {

struct Operation {
    std::string name;         // "sha1.16k": the suite word, then the size
    std::string description;  // for the table and --list
    // Bytes one call processes, for MB/s and cycles per byte; 0 for the RSA
    // and key operations, which are counted in operations per second.
    std::uint64_t bytes = 0;
    // Key generation: one key is one sample, and the sample count is bounded
    // by time as much as by --samples.
    bool onePerSample = false;
    // This operation's share of --seconds: a key of 4096 bits takes about a
    // second, and its time varies from key to key by a factor of three.
    double budgetScale = 1.0;
    // Makes the objects and inputs and checks the component's answer against
    // OpenSSL's; returns "" or why the operation cannot be timed.
    std::function<std::string()> prepare;
    // Make the given number of calls; return "" or the failing call's reason.
    // The last call's answer is kept for verify.
    std::function<std::string(std::size_t)> ours;
    // Checks the answer the last call of ours left against the one prepare
    // knows to be right; "" or what is wrong. Run between timed samples, so
    // a component that turns wrong once it is warm is not timed either.
    std::function<std::string()> verify;
    std::function<std::string(std::size_t)> reference;
    // The reference, as the table names it.
    std::string referenceName;
};

// Every operation, in the order a run takes them; the file operation only
// when a path is given.
std::vector<Operation> BenchOperations(const std::optional<std::string>& filePath);

}  // namespace bench

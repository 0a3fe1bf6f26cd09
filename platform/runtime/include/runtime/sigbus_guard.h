// Keeps a read through a file mapping from killing the process when another
// process truncates the file meanwhile.
//
// On Linux a read past the new end of a truncated file raises SIGBUS. While a
// guard lives, a SIGBUS at an address inside its range is answered by putting
// zero pages over the rest of the range, so the interrupted read resumes and
// completes; Tripped() then says the data read was not the file's. A SIGBUS
// anywhere else goes to the handler that was installed before the guard
// (normally the default action, which ends the process).
//
// One guard at a time, on the thread that reads the mapping: a second guard
// while one is active is a programming error and aborts.
#pragma once

#include <csignal>
#include <cstddef>

class SigbusGuard {
public:
    // base must be the page-aligned start of a mapping of length bytes.
    SigbusGuard(const void* base, std::size_t length);
    SigbusGuard(const SigbusGuard&) = delete;
    SigbusGuard& operator=(const SigbusGuard&) = delete;
    ~SigbusGuard();

    // True once a fault inside the range was answered with zero pages.
    bool Tripped() const;

private:
    struct sigaction m_previous {};
};

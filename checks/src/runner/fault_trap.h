// Turns a fault on a guard page into a report instead of a mystery.
//
// Guarded buffers register their guard pages here. In a check's child the
// trap catches SIGSEGV and SIGBUS, notes in the shared record whether the
// fault hit a guard page (and how far past the buffer), then lets the signal
// kill the child as it would have, so the parent sees the signal and the note.
#pragma once

#include "runner/child_record.h"

#include <cstddef>
#include <cstdint>

namespace checks::runner {

// Installs the handlers for this (child) process, writing into record.
void InstallFaultTrap(ChildRecord* record);

// Registers a buffer whose capacity is [begin, begin + bytes), with guard
// pages [lowGuard, lowGuard + page) and [highGuard, highGuard + page).
// Returns a slot for UnregisterGuards, or -1 when the table is full.
int RegisterGuards(const std::uint8_t* begin, std::size_t bytes, const std::uint8_t* lowGuard,
                   const std::uint8_t* highGuard, std::size_t page);
void UnregisterGuards(int slot);

}  // namespace checks::runner

// The values of a recorded component call, taken from the caller's own
// arguments: a buffer only as far as the length the caller gives, an output
// buffer only up to the capacity it passed in, a null pointer as null.
#pragma once

#include <checks/check.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace checks::support {

// A buffer larger than this is kept as its length and SHA-256 (a replay
// cannot issue that call again); a file larger than this as its length.
inline constexpr std::size_t kMostRecordedBuffer = 1u << 20;
// Beyond this a large buffer is kept as its length alone.
inline constexpr std::size_t kMostDigestedBuffer = 64u << 20;

CallValue NumberValue(const char* name, std::uint64_t number);
// The number behind a pointer; null for a null pointer.
CallValue CountValue(const char* name, const std::uint32_t* count);
// count bytes from data; null for a null pointer.
CallValue BytesValue(const char* name, const void* data, std::uint64_t count);
// A NUL-terminated text (without its terminator); null for a null pointer.
CallValue TextValue(const char* name, const char* text);
// count bytes of a text the caller measured itself.
CallValue TextValue(const char* name, const char* text, std::uint64_t count);
// An output buffer of capacity bytes, or null.
CallValue CapacityValue(const char* name, const void* buffer, std::uint64_t capacity);
// A path; a check's scratch folder in it (scratch_files.h) is given as
// "{scratchN}", N counting the folders from 1, so that a replay can put a
// fresh folder there.
CallValue PathValue(const char* name, const char* path);
// The bytes of the file at path (kind Null when it cannot be read).
CallValue FileValue(const char* name, const char* path);

}  // namespace checks::support

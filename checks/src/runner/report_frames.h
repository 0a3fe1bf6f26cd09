// What a check's child sends its parent through the pipe, one frame per
// report: a kind byte, a 4-byte length in machine order, the text.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace checks::runner {

// Calls: the component calls the check named since the last such frame, one
// "NAME\tCOUNT" line each (see call_log.h). CallStarted and CallReturned:
// one recorded call's inputs, then its answers (see call_record.h).
enum class FrameKind : std::uint8_t {
    Fail = 'F',
    Note = 'N',
    Skip = 'S',
    Done = 'D',
    Calls = 'C',
    CallStarted = 'A',
    CallReturned = 'R',
};

struct Frame {
    FrameKind kind;
    std::string text;
};

// Writes one frame whole (retrying short writes); false when the pipe is gone.
bool WriteFrame(int fd, FrameKind kind, const std::string& text);

// The same in two steps, for a forked child that must not allocate: the
// bytes made before the fork, written after it.
std::string EncodeFrame(FrameKind kind, const std::string& text);
bool WriteFrameBytes(int fd, const std::string& bytes);

// Collects frames from bytes as they arrive.
class FrameReader {
public:
    void Append(const char* bytes, std::size_t count);
    // Frames complete so far, in order; they are handed out once.
    std::vector<Frame> Take();

private:
    std::string m_pending;
};

}  // namespace checks::runner

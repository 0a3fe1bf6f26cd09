#include "runner/report_frames.h"

#include "runner/descriptor_io.h"

#include <cstring>

namespace checks::runner {

std::string EncodeFrame(FrameKind kind, const std::string& text)
{
    const auto length = static_cast<std::uint32_t>(text.size());
    std::string bytes(1 + sizeof length, '\0');
    bytes[0] = static_cast<char>(kind);
    std::memcpy(bytes.data() + 1, &length, sizeof length);
    return bytes + text;
}

bool WriteFrameBytes(int fd, const std::string& bytes)
{
    return WriteAll(fd, bytes) == 0;
}

bool WriteFrame(int fd, FrameKind kind, const std::string& text)
{
    return WriteFrameBytes(fd, EncodeFrame(kind, text));
}

void FrameReader::Append(const char* bytes, std::size_t count)
{
    m_pending.append(bytes, count);
}

std::vector<Frame> FrameReader::Take()
{
    std::vector<Frame> frames;
    std::size_t at = 0;
    while (m_pending.size() - at >= 5) {
        std::uint32_t length = 0;
        std::memcpy(&length, m_pending.data() + at + 1, sizeof length);
        if (m_pending.size() - at - 5 < length)
            break;
        frames.push_back({static_cast<FrameKind>(m_pending[at]), m_pending.substr(at + 5, length)});
        at += 5 + length;
    }
    m_pending.erase(0, at);
    return frames;
}

}  // namespace checks::runner

// Writing a report file without harm to what is already at its path.
#pragma once

#include <string>

namespace checks::runner {

// Writes text to path whole; returns an error text ("PATH: why"), empty on
// success.
//
// - A regular file, or nothing, at path: the text goes into a new file of a
//   fresh short name in the same folder (created exclusively, never through
//   a link), which then replaces path in one rename. A reader sees the old
//   report or the new one, never half of one, and a link planted beside the
//   report is never followed.
// - A device or a FIFO at path (/dev/null, /dev/stdout's pipe): the text is
//   written into it, and it stays what it is. A FIFO that no process reads
//   is refused at once instead of blocking the run.
// - A symbolic link at path is followed, as a shell's redirection would; the
//   rules above apply to what it points to. A link to nothing is refused.
// - A folder, a socket or anything else is refused.
std::string WriteReportFile(const std::string& path, const std::string& text);

// True when the two paths name one file: the same device and inode when it
// exists, else the same absolute path once links and "." or ".." are
// resolved.
bool SameFile(const std::string& first, const std::string& second);

}  // namespace checks::runner

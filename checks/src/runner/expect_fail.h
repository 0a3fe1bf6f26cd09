// --expect-fail FILE: checks allowed to fail, each with its reason.
#pragma once

#include <map>
#include <optional>
#include <string>

namespace checks::runner {

// Reads lines "CHECK  reason" (the name, blanks, the reason to the line's
// end); blank lines and lines starting with '#' are skipped. A line without
// a reason, a name listed twice or an unreadable file is an error (nullopt,
// error says which line).
std::optional<std::map<std::string, std::string>> ReadExpectFail(const std::string& path, std::string& error);

}  // namespace checks::runner

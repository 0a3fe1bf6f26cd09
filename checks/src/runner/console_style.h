// What the console may do: colour when asked or on a terminal that wants it,
// and one progress line rewritten in place on a terminal only.
#pragma once

#include "runner/run_settings.h"

#include <string>

namespace checks::runner {

// --color=always: yes; never: no; auto: a terminal at fd, NO_COLOR unset or
// empty (no-color.org) and TERM not "dumb".
bool UseColour(RunSettings::Colour colour, int fd);

// "[12/48] 2 running: rsa.keys.256, vectors.sha1.4gib · about 21 s left",
// cut to width columns.
std::string ProgressText(std::size_t done, std::size_t total, const std::vector<std::string>& running,
                         double secondsLeft, std::size_t width);

// The width of the terminal at fd, 80 when it cannot be told.
std::size_t TerminalColumns(int fd);

}  // namespace checks::runner

#include "runner/console_style.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace checks::runner {

bool UseColour(RunSettings::Colour colour, int fd)
{
    if (colour != RunSettings::Colour::Auto)
        return colour == RunSettings::Colour::Always;
    const char* noColour = std::getenv("NO_COLOR");
    const char* term = std::getenv("TERM");
    return isatty(fd) && !(noColour && *noColour) && !(term && std::strcmp(term, "dumb") == 0);
}

std::string ProgressText(std::size_t done, std::size_t total, const std::vector<std::string>& running,
                         double secondsLeft, std::size_t width)
{
    std::string text = "[" + std::to_string(done) + "/" + std::to_string(total) + "] ";
    const long left = std::lround(std::ceil(secondsLeft));
    const std::string estimate =
        left >= 60 ? " \u00b7 about " + std::to_string(left / 60) + " min " + std::to_string(left % 60) + " s left"
                   : " \u00b7 about " + std::to_string(left) + " s left";
    std::string names = running.empty() ? "starting" : "";
    for (const std::string& name : running)
        names += (names.empty() ? "" : ", ") + name;
    // The estimate stays whole; the names give way.
    std::size_t columns = text.size();
    for (const unsigned char c : estimate)
        columns += (c & 0xC0) != 0x80;
    const std::size_t room = width > columns + 13 ? width - columns - 1 : 12;
    if (names.size() > room)
        names = names.substr(0, room - 3) + "...";
    return text + names + estimate;
}

std::size_t TerminalColumns(int fd)
{
    winsize size{};
    if (ioctl(fd, TIOCGWINSZ, &size) == 0 && size.ws_col >= 20)
        return size.ws_col;
    return 80;
}

}  // namespace checks::runner

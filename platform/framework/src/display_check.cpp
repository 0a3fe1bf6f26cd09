#include "display_check.h"

#include <cstdlib>

#ifdef TARVEL_HAVE_X11
#include <X11/Xlib.h>
#endif

namespace {

const char* Variable(const char* name)
{
    const char* value = std::getenv(name);
    return value && *value ? value : nullptr;
}

}  // namespace

DisplayCheck CheckDisplay(const std::string& platformOption)
{
    // A platform chosen explicitly (offscreen, wayland, vnc, ...) is the
    // user's call, except X11, which needs its server as much as by default.
    std::string platform = platformOption;
    if (platform.empty() && Variable("QT_QPA_PLATFORM"))
        platform = Variable("QT_QPA_PLATFORM");
    if (!platform.empty() && platform.rfind("xcb", 0) != 0)
        return {};
    if (platform.empty() && Variable("WAYLAND_DISPLAY"))
        return {};
    const char* display = Variable("DISPLAY");
    if (!display)
        return {false, "neither DISPLAY nor WAYLAND_DISPLAY is set"};
#ifdef TARVEL_HAVE_X11
    // A stale DISPLAY (an X server that has gone) makes Qt abort just the same.
    if (Display* connection = XOpenDisplay(nullptr)) {
        XCloseDisplay(connection);
        return {};
    }
    return {false, std::string("no X server answers on DISPLAY ") + display};
#else
    return {};
#endif
}

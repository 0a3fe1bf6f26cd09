// The keyboard's lock state, where the windowing system reports it (X11).
#pragma once

#include <optional>

struct LockKeyState {
    bool caps = false;
    bool num = false;
    bool scroll = false;
};

// nullopt when the platform does not say (offscreen, Wayland).
std::optional<LockKeyState> QueryLockKeys();

#pragma once

#include <string>

namespace qinglan {

// The environment that decides whether a window can be shown.
struct DisplayEnvironment {
    std::string display = {}; // DISPLAY
    std::string waylandDisplay = {}; // WAYLAND_DISPLAY
    std::string qpaPlatform = {}; // QT_QPA_PLATFORM
    std::string runtimeDir = {}; // XDG_RUNTIME_DIR
};

DisplayEnvironment currentDisplayEnvironment();

// True when a window system looks reachable: a platform chosen explicitly, or a
// Wayland or X display whose local socket exists. Qt aborts without one.
bool hasDisplay(const DisplayEnvironment& env);

// The one line printed when there is none.
std::string noDisplayMessage(const std::string& programPath);

} // namespace qinglan

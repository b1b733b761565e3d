#include "app/DisplayCheck.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace qinglan {

namespace {

std::string envValue(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

bool pathExists(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::exists(path, error);
}

// ":0", ":0.0" and "unix:0" are local displays with a socket under /tmp/.X11-unix;
// "host:0" is remote and can only be tried.
bool localXDisplayMissing(const std::string& display) {
    const std::size_t colon = display.rfind(':');
    if (colon == std::string::npos) return false;
    const std::string host = display.substr(0, colon);
    if (!host.empty() && host != "unix") return false;
    std::string number = display.substr(colon + 1);
    number = number.substr(0, number.find('.'));
    const std::filesystem::path socketDir = "/tmp/.X11-unix";
    // Without the folder at all the server may use abstract sockets only: trust it.
    if (number.empty() || !pathExists(socketDir)) return false;
    return !pathExists(socketDir / ("X" + number));
}

} // namespace

DisplayEnvironment currentDisplayEnvironment() {
    return { envValue("DISPLAY"), envValue("WAYLAND_DISPLAY"), envValue("QT_QPA_PLATFORM"),
        envValue("XDG_RUNTIME_DIR") };
}

bool hasDisplay(const DisplayEnvironment& env) {
    if (!env.qpaPlatform.empty()) return true;
    if (!env.waylandDisplay.empty()) {
        const std::filesystem::path socket = env.waylandDisplay.front() == '/'
            ? std::filesystem::path(env.waylandDisplay)
            : std::filesystem::path(env.runtimeDir) / env.waylandDisplay;
        if (pathExists(socket)) return true;
    }
    return !env.display.empty() && !localXDisplayMissing(env.display);
}

std::string noDisplayMessage(const std::string& programPath) {
    return programPath
        + ": no display to open the window on (DISPLAY and WAYLAND_DISPLAY are unset "
        + "or unreachable); start it from a desktop session, or under a virtual display: xvfb-run "
        + programPath;
}

} // namespace qinglan

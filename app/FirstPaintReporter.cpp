#include "app/FirstPaintReporter.h"

#include "platform/Ticks.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace qinglan {

FirstPaintReporter::FirstPaintReporter(QObject* watched, std::int64_t mainStartedTick)
    : QObject(watched)
    , mainStartedTick_(mainStartedTick) {
    watched->installEventFilter(this);
}

std::int64_t FirstPaintReporter::msSinceProcessStart() {
    // Field 22 of /proc/self/stat: start time in clock ticks after boot, on the same
    // clock as CLOCK_BOOTTIME. The name field may hold spaces, so parse after ')'.
    std::ifstream stat("/proc/self/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const std::size_t close = text.rfind(')');
    if (close == std::string::npos) return -1;
    std::istringstream fields(text.substr(close + 2));
    std::string field;
    // After the name, the state is field 3, so start time is the 20th from here.
    for (int i = 3; i <= 22 && fields >> field; ++i) { }
    const long ticksPerSecond = sysconf(_SC_CLK_TCK);
    timespec now {};
    if (field.empty() || ticksPerSecond <= 0 || clock_gettime(CLOCK_BOOTTIME, &now) != 0) return -1;
    const double startMs = std::stod(field) * 1000.0 / static_cast<double>(ticksPerSecond);
    const double nowMs
        = static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
    return static_cast<std::int64_t>(nowMs - startMs);
}

long FirstPaintReporter::residentKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return -1;
}

bool FirstPaintReporter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Paint && !reported_) {
        reported_ = true;
        // Report after this paint has been handled and flushed.
        QTimer::singleShot(0, this, [this] {
            std::printf("first_paint_ms_since_process_start %lld\n",
                static_cast<long long>(msSinceProcessStart()));
            std::printf("first_paint_ms_since_main %lld\n",
                static_cast<long long>(tickMs() - mainStartedTick_));
            std::printf("resident_kib %ld\n", residentKiB());
            std::fflush(stdout);
            QCoreApplication::quit();
        });
    }
    return QObject::eventFilter(watched, event);
}

} // namespace qinglan

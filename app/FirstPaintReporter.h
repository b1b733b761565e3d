#pragma once

#include <QObject>
#include <cstdint>

namespace qinglan {

// For start-up measurements: at the first paint of the watched widget prints the
// milliseconds since the process started (and since main began) and the resident
// memory, then quits the application.
class FirstPaintReporter : public QObject {
    Q_OBJECT
public:
    FirstPaintReporter(QObject* watched, std::int64_t mainStartedTick);

    // Milliseconds since the kernel started this process; -1 when unknown.
    static std::int64_t msSinceProcessStart();
    // Resident set size in KiB; -1 when unknown.
    static long residentKiB();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::int64_t mainStartedTick_;
    bool reported_ = false;
};

} // namespace qinglan

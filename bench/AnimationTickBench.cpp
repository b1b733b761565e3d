// Cost of one animation tick of the real main window: the sliding sprite moved,
// redrawPieces(false) and the synchronous repaint of the board surface. Prints
// microseconds per tick at 1x and 2x the logical size. Runs on any Qt platform
// (offscreen when no display is set).
#include "app/BoardView.h"
#include "app/GlobalState.h"
#include "app/MainWindow.h"
#include "game/GameFlow.h"
#include "platform/SpriteSurface.h"
#include "resources/Resources.h"

#include <QApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using namespace qinglan;

void settle() {
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
}

void measure(MainWindow& window, GlobalState& state, int scale, int moves) {
    const QSize frame = window.size() - window.boardSurface().size();
    window.resize(frame.width() + 756 * scale, frame.height() + 618 * scale);
    settle();
    std::vector<double> us;
    const char* const opening[] = { "h2e2", "h9g7" };
    for (int i = 0; i < moves; ++i) {
        // A fresh game for every pair, so no repetition ever ends the game.
        if (i % 2 == 0) window.flow().newGame();
        const char* move = opening[i % 2];
        if (!window.flow().playMove(move)) {
            std::fprintf(stderr, "move %s refused\n", move);
            return;
        }
        BoardView& view = window.boardView();
        while (view.isAnimating()) {
            const bool last
                = state.moveAnimation.stepsLeft <= 0; // the last tick redraws from the board
            const auto t0 = std::chrono::steady_clock::now();
            view.onAnimationTick();
            const auto t1 = std::chrono::steady_clock::now();
            if (!last) us.push_back(std::chrono::duration<double, std::micro>(t1 - t0).count());
        }
    }
    std::sort(us.begin(), us.end());
    const auto at = [&](double q) {
        return us[static_cast<std::size_t>(q * static_cast<double>(us.size() - 1))];
    };
    std::printf(
        "animation_tick scale=%dx client=%dx%d ticks=%zu median_us=%.0f p95_us=%.0f max_us=%.0f\n",
        scale, window.boardSurface().width(), window.boardSurface().height(), us.size(), at(0.5),
        at(0.95), us.back());
}

} // namespace

int main(int argc, char** argv) {
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("QINGLAN_NO_SOUND", "1", 1);
    GlobalState state;
    QApplication app(argc, argv);
    initBuiltInResources();
    // A folder of its own: no settings file and no engines of the build are touched.
    QTemporaryDir programDir;
    state.programDir = programDir.path().toStdString();
    MainWindow window(state);
    window.show();
    settle();
    std::printf("platform=%s\n", qPrintable(QGuiApplication::platformName()));
    const int moves = argc > 1 ? std::atoi(argv[1]) : 20;
    measure(window, state, 1, moves);
    measure(window, state, 2, moves);
    return 0;
}

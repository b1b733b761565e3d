// Opening a large PGN in the window: reading it to the list of its games (tags only), the
// list painted, and the chosen game read and shown in the move list, measured through the
// real main window (offscreen).
// Usage: bench_game_list FILE [RUNS]   (bench/game_list.sh makes a file of 10 000 games)
#include "app/GlobalState.h"
#include "app/MainWindow.h"
#include "app/RecordCommands.h"
#include "app/dialogs/GameListDialog.h"
#include "game/RecordFiles.h"
#include "platform/DialogRunner.h"
#include "platform/MessageBox.h"
#include "resources/Resources.h"

#include <QApplication>
#include <QTableView>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_game_list FILE [RUNS]\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    qinglan::initBuiltInResources();
    QTemporaryDir programDir;
    qinglan::GlobalState state;
    state.programDir = programDir.path().toStdString();
    qinglan::setMessageBoxHandler([](const QString& text, const QString&, int) {
        std::fprintf(stderr, "box: %s\n", text.toUtf8().constData());
        return qinglan::MESSAGE_NO;
    });
    const std::string path = argv[1];
    const int runs = argc > 2 ? std::atoi(argv[2]) : 3;

    Clock::time_point start;
    double untilList = 0, listShown = 0;
    int games = 0;
    // The list is measured up to its first paint; then the middle game is chosen.
    qinglan::setDialogHandler([&](QDialog& dialog) {
        auto* list = dynamic_cast<qinglan::GameListDialog*>(&dialog);
        if (!list) return int(QDialog::Rejected);
        untilList = msSince(start);
        dialog.show();
        QApplication::processEvents();
        listShown = msSince(start);
        games = list->table()->model()->rowCount();
        list->table()->selectRow(games / 2);
        dialog.hide();
        start = Clock::now();
        return int(QDialog::Accepted);
    });
    qinglan::MainWindow window(state);
    window.show();
    QApplication::processEvents();

    std::printf("file %s\n", path.c_str());
    for (int run = 0; run < runs; ++run) {
        const Clock::time_point read = Clock::now();
        if (!qinglan::readGameFile(path).error.empty()) return 1;
        const double readMs = msSince(read);
        start = Clock::now();
        if (!qinglan::openGameFileAt(window, path)) return 1;
        QApplication::processEvents();
        const double chosenMs = msSince(start);
        std::printf("run %d: games=%d read_and_list_ms=%.0f open_to_list_ready_ms=%.0f "
                    "list_painted_ms=%.0f chosen_game_shown_ms=%.1f nodes=%d\n",
            run + 1, games, readMs, untilList, listShown, chosenMs,
            window.game().state().record.game.nodeCount());
    }
    qinglan::setDialogHandler({});
    return 0;
}

#include "app/CommandLine.h"
#include "app/DisplayCheck.h"
#include "app/FirstPaintReporter.h"
#include "app/GlobalState.h"
#include "app/MainWindow.h"
#include "platform/SpriteSurface.h"
#include "platform/Ticks.h"
#include "platform/ToolkitTranslation.h"
#include "resources/Resources.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    const std::int64_t started = qinglan::tickMs();
    // --version and --help answer without a display.
    if (const std::optional<int> answered = qinglan::answerVersionOrHelp(argc, argv))
        return *answered;
    // Qt aborts when it cannot reach a window system: say why and how to run instead.
    if (!qinglan::hasDisplay(qinglan::currentDisplayEnvironment())) {
        std::fprintf(
            stderr, "%s\n", qinglan::noDisplayMessage(argc > 0 ? argv[0] : "qinglan").c_str());
        return 2;
    }
    // The game's state outlives every window; it is released after the message loop.
    qinglan::GlobalState state;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("qinglan"));
    qinglan::installToolkitTranslation(app);
    qinglan::initBuiltInResources();
    // Qt has taken its own options out by now; what is left is ours.
    const qinglan::CommandLine line = qinglan::parseCommandLine(QApplication::arguments());
    if (line.action == qinglan::CommandLine::Action::Refuse) return qinglan::refuse(line);

    qinglan::MainWindow window(state);
    if (std::getenv("QINGLAN_EXIT_AFTER_FIRST_PAINT"))
        new qinglan::FirstPaintReporter(&window.boardSurface(), started);
    window.show();
    if (!line.file.empty()) window.openFileAtStart(line.file);
    window.activateWindow();
    return app.exec();
}

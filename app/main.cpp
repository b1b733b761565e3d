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

    qinglan::MainWindow window(state);
    if (std::getenv("QINGLAN_EXIT_AFTER_FIRST_PAINT"))
        new qinglan::FirstPaintReporter(&window.boardSurface(), started);
    window.show();
    window.activateWindow();
    return app.exec();
}

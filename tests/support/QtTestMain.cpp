// GoogleTest main for tests that need a QApplication: no display required.
#include <QApplication>
#include <QLoggingCategory>
#include <cstdlib>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("QINGLAN_NO_SOUND", "1", 1);
    // The offscreen platform warns about features it lacks; those warnings are noise here.
    QLoggingCategory::setFilterRules("qt.qpa.*=false");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}

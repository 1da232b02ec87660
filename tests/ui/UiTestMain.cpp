// Entry point of the desktop tests: widgets need a QApplication, and the tests run without a
// display, so the offscreen platform is chosen unless the caller picked another one.
#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    // The web engine refuses to start inside containers that forbid its sandbox.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("QTWEBENGINE_CHROMIUM_FLAGS", "--no-sandbox", 0);
    ::testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}

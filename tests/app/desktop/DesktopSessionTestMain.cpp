// GoogleTest's entry point for the application's pieces that meet the desktop session: a
// QApplication on an X display and a session bus of the test's own, both set up by
// desktop_hotkey_test.sh (xvfb-run, dbus-run-session with the tests' bus configuration).

#include <gtest/gtest.h>

#include <QApplication>
#include <cstdio>

#include "tests/support/NeutralDesktop.h"

int main(int argc, char** argv) {
    quibsum::testing::useNeutralDesktop();
    QApplication app(argc, argv);
    if (QGuiApplication::platformName() != QLatin1String("xcb") ||
        qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) {
        std::fprintf(stderr, "needs an X display (QT_QPA_PLATFORM=xcb) and a session bus\n");
        return 1;
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

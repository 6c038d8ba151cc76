// GoogleTest's entry point for the hot key tests that need a desktop session: a
// QGuiApplication on an X display, run by desktop_hotkey_test.sh under xvfb-run and a private
// session bus.

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <cstdio>

#include "tests/support/NeutralDesktop.h"

int main(int argc, char** argv) {
    quibsum::testing::useNeutralDesktop();
    QGuiApplication app(argc, argv);
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        std::fprintf(stderr, "needs an X display (QT_QPA_PLATFORM=xcb)\n");
        return 1;
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

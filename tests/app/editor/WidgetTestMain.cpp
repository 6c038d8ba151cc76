// GoogleTest's entry point with a QApplication on the offscreen platform: the editor's widgets
// run, lay out and paint without a display.

#include <gtest/gtest.h>

#include <QApplication>

#include "tests/support/NeutralDesktop.h"

int main(int argc, char** argv) {
    quibsum::testing::useNeutralDesktop();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

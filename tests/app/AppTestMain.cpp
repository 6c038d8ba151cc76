// GoogleTest's entry point with a QCoreApplication, whose event loop the sheet store's
// delayed save and the program runs need.

#include <gtest/gtest.h>

#include <QCoreApplication>

#include "tests/support/NeutralDesktop.h"

int main(int argc, char** argv) {
    quibsum::testing::useNeutralDesktop();
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

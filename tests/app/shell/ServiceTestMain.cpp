// GoogleTest's entry point with a QCoreApplication and a session bus of the tests' own.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <cstdio>
#include <cstring>
#include <memory>

#include "PrivateBus.h"
#include "QuibSum/bus/SumBusAddress.h"
#include "QuibSum/bus/SumService.h"
#include "tests/support/NeutralDesktop.h"

int main(int argc, char** argv) {
    quibsum::testing::useNeutralDesktop();
    QCoreApplication app(argc, argv);
    // A process that holds the instance's name until it is killed, as a running application
    // does: the tests of a crashed instance kill it.
    if (argc == 3 && std::strcmp(argv[1], "--hold-name") == 0) {
        quibsum::SumService service;
        const auto bus = quibsum::SumBusAddress::sessionBus();
        if (!bus ||
            service.registerOn(*bus, QString::fromUtf8(argv[2])) != quibsum::SumService::Registration::registered)
            return 1;
        std::puts("held");
        std::fflush(stdout);
        return QCoreApplication::exec();
    }
    ::testing::InitGoogleTest(&argc, argv);
    // Listing the tests needs no bus.
    std::unique_ptr<quibsum::testing::PrivateBus> bus;
    if (!::testing::GTEST_FLAG(list_tests)) {
        bus = std::make_unique<quibsum::testing::PrivateBus>();
        quibsum::testing::PrivateBus::setInstance(bus.get());
    }
    return RUN_ALL_TESTS();
}

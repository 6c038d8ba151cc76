// quibsum: the command line of Quib Sum.

#include <QCoreApplication>

#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "QuibSum/cli/CommandLine.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv, argv + argc);
    // The event loop's home: the sheet store schedules its delayed save there.
    QCoreApplication app(argc, argv);
    quibsum::CommandLineIO io{std::cin, std::cout, std::cerr, [](int status) {
                                  std::cout.flush();
                                  std::cerr.flush();
                                  std::_Exit(status);
                              }};
    return quibsum::runCommandLine(args, io);
}

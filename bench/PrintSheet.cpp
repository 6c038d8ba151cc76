// Prints a generated sheet of N lines (SheetGenerator, default seed) for the scripts that
// time the window: bench/launch_time.sh.

#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/SheetGenerator.h"

int main(int argc, char** argv) {
    if (argc != 2 || std::atoi(argv[1]) <= 0) {
        std::fprintf(stderr, "usage: PrintSheet LINES\n");
        return 2;
    }
    using quibsum::bench::SheetGenerator;
    const std::string text = SheetGenerator::join(SheetGenerator().lines(static_cast<std::size_t>(std::atoi(argv[1]))));
    std::fwrite(text.data(), 1, text.size(), stdout);
    return 0;
}

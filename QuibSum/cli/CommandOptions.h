#pragma once
// The options of the evaluating commands, parsed the same way for each: GNU-style long options,
// the first operand (or "--") ending them, so that an expression may hold "-" or "--" of its
// own.

#include <optional>
#include <string>
#include <vector>

#include "QuibSumCore/NumberStyle.h"
#include "QuibSumCore/Rate.h"

namespace quibsum {

struct CommandLineIO;

struct CommandOptions {
    // The options a command accepts, as a mask.
    enum Flag : unsigned {
        style = 1,
        kind = 2,
        rates = 4,
        json = 8,
        refresh = 16,
    };
    static constexpr unsigned evaluation = style | kind | rates;

    std::optional<NumberStyle> numberStyle;
    std::optional<RateKind> rateKind;
    std::optional<std::string> ratesFile;
    bool asJson = false;
    bool refreshNow = false;
    bool help = false;
    std::vector<std::string> operands;

    // Returns none after reporting a usage error for `command` on io.err.
    static std::optional<CommandOptions> parse(const std::vector<std::string>& words, unsigned allowed,
                                               const std::string& command, const CommandLineIO& io);
};

// Reports a usage error ("quibsum COMMAND: MESSAGE" and where to find help) and returns 2. An
// empty `command` is the program itself.
int reportUsageError(const CommandLineIO& io, const std::string& command, const std::string& message);

}  // namespace quibsum

#pragma once
// CommandContext: what every command does the same way. It parses the command's options (and
// answers --help), reads its input, finds the settings and the rates it evaluates with, reports
// failures as "quibsum COMMAND: reason", and ends the command once its output is complete.

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "QuibSum/cli/CommandLine.h"
#include "QuibSum/cli/CommandOptions.h"
#include "QuibSum/cli/CommandRates.h"

namespace quibsum {

class CommandContext {
public:
    static constexpr int success = 0;
    static constexpr int failure = 1;
    static constexpr int usageError = 2;

    // How long a command lets a due rate refresh run before it evaluates with what it has.
    static constexpr std::chrono::milliseconds refreshWait{250};
    // How long, once the output is written, a cancelled refresh may take to end.
    static constexpr std::chrono::milliseconds refreshGrace{100};

    // `help` is the command's help text; "%OPTIONS%" in it stands for the evaluation options.
    CommandContext(std::string_view name, const char* help, const CommandLineIO& io);

    // Parses `words` for the options `allowed`. Returns the exit status when the command ends
    // here: after its help (0) or a usage error (2).
    std::optional<int> parse(const std::vector<std::string>& words, unsigned allowed);

    const CommandOptions& options() const { return options_; }
    const CommandLineIO& io() const { return io_; }

    // The operands joined by spaces; arguments arrive as bytes, and ill-formed UTF-8 becomes
    // U+FFFD like any other input.
    std::string joinedOperands() const;

    int usage(const std::string& message) const;
    // "quibsum COMMAND: MESSAGE" on standard error; returns 1.
    int fail(const std::string& message) const;

    // SheetInput::read, with its failure reported.
    std::optional<std::string> readInput(const std::string& path) const;

    // The settings a command evaluates with: the options, else the stored choices.
    struct Evaluation {
        NumberStyle style;
        RateKind kind;
    };
    std::optional<Evaluation> evaluation() const;
    // The rates file of --rates, else the live rates given a short chance to refresh.
    std::optional<CommandRates> rates() const;

    // Ends the command once its output is complete, without waiting long for a refresh that is
    // still talking to the network.
    int finish(int status, CommandRates& rates) const;

    // Output that never arrived is a failure, as in every well-behaved command (`>/dev/full`, a
    // closed pipe, a full disk): flushes standard output and, when it failed, says so (once per
    // run) and gives 1.
    static int outputChecked(int status, const CommandLineIO& io);
    // Starts a run of the command line: no output has failed yet.
    static void startRun();
    // Whether standard output failed during this run, so that the exit status stays 1.
    static bool outputFailed();

private:
    std::string name_;
    const char* help_;
    const CommandLineIO& io_;
    CommandOptions options_;
};

}  // namespace quibsum

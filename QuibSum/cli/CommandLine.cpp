#include "QuibSum/cli/CommandLine.h"

#include <QDateTime>
#include <QFile>
#include <QSettings>
#include <QString>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <istream>
#include <iterator>
#include <map>
#include <optional>
#include <ostream>

#include "QuibSum/cli/CommandRates.h"
#include "QuibSum/cli/InstanceCommands.h"
#include "QuibSum/cli/QuickCalculator.h"
#include "QuibSum/cli/RateStatus.h"
#include "QuibSum/cli/SheetReport.h"
#include "QuibSum/cli/TerminalText.h"
#include "QuibSum/storage/AppPaths.h"
#include "QuibSum/storage/SheetStore.h"
#include "QuibSum/storage/SumSettings.h"
#include "QuibSumCore/Engine.h"
#include "QuibSumRates/LiveRateStore.h"
#include "QuibSumRates/StoredFile.h"

namespace quibsum {

namespace {

constexpr int success = 0;
constexpr int failure = 1;
constexpr int usageError = 2;

// Set when standard output failed during this run, so that the exit status stays 1.
bool outputFailed = false;

int runCommand(const std::vector<std::string>& args, const CommandLineIO& io);

// How long a command lets a due rate refresh run before it evaluates with what it has.
constexpr std::chrono::milliseconds refreshWait{250};
// How long, once the output is written, a cancelled refresh may take to end.
constexpr std::chrono::milliseconds refreshGrace{100};

const char* const programHelp = R"(Usage: quibsum [--hidden]
  or:  quibsum COMMAND [OPTION]... [ARGUMENT]...
A notepad calculator: arithmetic, units, percentages in words, currencies and
variables, in English and Vietnamese, one line at a time.

Without a command, opens the Quib Sum window on the stored sheets (--hidden
starts it without showing the window); when Quib Sum is already running, shows
its window instead. Only show, toggle and append-selection need a display.

Commands:
  calc EXPRESSION...     print the result of one expression
  sheet [FILE]           print a whole sheet with each line's result and the total
  sheets                 list the stored sheets
  append [TEXT]...       add lines to the quick sheet and print their results
  rates [--refresh]      tell which exchange rates are in use
  show                   show the window, starting Quib Sum if needed
  hide                   hide the window
  toggle                 hide the window when it is in front, else show it
  append-selection       add the selected text to the quick sheet and show it

  -h, --help             display this help and exit
      --version          output version information and exit

Run 'quibsum COMMAND --help' for the options of each command.

Environment:
  QUIBSUM_DATA_DIR       folder of the sheets and the rate cache
                         (default: $XDG_DATA_HOME/QuibSum, ~/.local/share/QuibSum)
  QUIBSUM_CONFIG_DIR     folder of the settings (default: ~/.config/QuibSum)

Exit status: 0 on success, 1 when the command fails, 2 on a usage error.
)";

const char* const evaluationOptionsHelp = R"(      --style=STYLE      read and write numbers in STYLE: en (1,234.5) or
                         vi (1.234,5); default: the stored setting
      --kind=KIND        bank rate for conversions to and from VND: transfer,
                         buy or sell; default: the stored setting
      --rates=FILE       use exactly the rates in FILE (the rate cache's format)
                         and no network; by default the stored rates are used,
                         after giving a due refresh a quarter of a second
)";

const char* const calcHelp = R"(Usage: quibsum calc [OPTION]... EXPRESSION...
Print the result of one expression, on its own: no variables, no previous
result and no rates typed in a sheet. The words are joined by spaces; options
come before them.

%OPTIONS%  -h, --help             display this help and exit

Exit status: 0 with the result on standard output; 1 with the reason on
standard error when the expression has no value; 2 on a usage error.

Examples:
  quibsum calc 20% of 1,250
  quibsum calc --style vi 100 USD sang VND
)";

const char* const sheetHelp = R"(Usage: quibsum sheet [OPTION]... [FILE]
Evaluate a whole sheet, read from FILE or, without FILE or when FILE is -,
from standard input, and print each line with its result in a right-hand
column, then the page total. Text that is not valid UTF-8 is read with
replacement characters.

%OPTIONS%      --json             print one JSON object instead:
                           {"lines": [...], "total": {...}}
  -h, --help             display this help and exit

In JSON, a line is {"result": "value", "display": TEXT, "value": EXACT DECIMAL
TEXT, "unit": SYMBOL or null}, {"result": "error", "message": TEXT} or
{"result": "note"}; the total is {"result": "value", "display": TEXT,
"count": N}, {"result": "empty"}, {"result": "incompatible"} or
{"result": "error", "message": TEXT}.

Exit status: 0 when the sheet was evaluated (whatever its lines hold); 1 when
it cannot be read; 2 on a usage error.
)";

const char* const sheetsHelp = R"(Usage: quibsum sheets
List the stored sheets, the quick sheet first: title, identifier and when the
text last changed.

  -h, --help             display this help and exit
)";

const char* const appendHelp = R"(Usage: quibsum append [OPTION]... [TEXT]...
Add TEXT (the words joined by spaces), or standard input without TEXT, as new
lines at the end of the quick sheet, save it at once, and print the result of
each new line as the quick sheet shows it. When Quib Sum is running, it adds
the lines and shows the quick sheet.

%OPTIONS%  -h, --help             display this help and exit
)";

const char* const ratesHelp = R"(Usage: quibsum rates [OPTION]...
Tell which exchange-rate tables are in use and when each was published.

      --refresh          download both tables now and tell which changed
  -h, --help             display this help and exit
)";

enum Flag : unsigned {
    styleFlag = 1,
    kindFlag = 2,
    ratesFlag = 4,
    jsonFlag = 8,
    refreshFlag = 16,
};

struct Options {
    std::optional<NumberStyle> style;
    std::optional<RateKind> kind;
    std::optional<std::string> ratesFile;
    bool json = false;
    bool refresh = false;
    bool help = false;
    std::vector<std::string> operands;
};

std::string helpText(const std::string& command) {
    std::string text = command == "calc"     ? calcHelp
                       : command == "sheet"  ? sheetHelp
                       : command == "sheets" ? sheetsHelp
                       : command == "append" ? appendHelp
                       : command == "rates"  ? ratesHelp
                       : command == "show" || command == "hide" || command == "toggle"
                           ? InstanceCommands::helpText(command)
                           : programHelp;
    if (auto at = text.find("%OPTIONS%"); at != std::string::npos) text.replace(at, 9, evaluationOptionsHelp);
    return text;
}

int usage(const CommandLineIO& io, const std::string& command, const std::string& message) {
    std::string who = command.empty() ? "quibsum" : "quibsum " + command;
    // The message quotes what was typed, which may hold escape sequences.
    io.err << who << ": " << TerminalText::printable(message) << '\n'
           << "Try '" << TerminalText::printable(who) << " --help' for more information.\n";
    return usageError;
}

// A word that starts with "-" but is a number or an operator, not an option: "-5", "-.5", "-".
bool looksLikeOperand(const std::string& word) {
    return word.size() < 2 || word[0] != '-' || (word[1] >= '0' && word[1] <= '9') || word[1] == '.' ||
           word[1] == ',' || word[1] == ' ';
}

// Options come first; the first operand ends them, so an expression may hold words such as
// "-" or "--" of its own. Returns none after reporting a usage error.
std::optional<Options> parseOptions(const std::vector<std::string>& words, unsigned allowed, const std::string& command,
                                    const CommandLineIO& io) {
    Options options;
    std::size_t i = 0;
    for (; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word == "--") {
            ++i;
            break;
        }
        if (looksLikeOperand(word)) break;
        if (word == "-h" || word == "--help") {
            options.help = true;
            continue;
        }
        if (word.rfind("--", 0) != 0) {
            usage(io, command, "invalid option '" + word + "'");
            return std::nullopt;
        }
        std::string name = word.substr(2);
        std::optional<std::string> value;
        if (auto eq = name.find('='); eq != std::string::npos) {
            value = name.substr(eq + 1);
            name.resize(eq);
        }
        static const std::map<std::string, Flag> names = {
            {"style", styleFlag}, {"kind", kindFlag}, {"rates", ratesFlag}, {"json", jsonFlag}, {"refresh", refreshFlag}};
        auto known = names.find(name);
        if (known == names.end() || (allowed & known->second) == 0) {
            usage(io, command, "unrecognized option '--" + name + "'");
            return std::nullopt;
        }
        const Flag flag = known->second;
        const bool takesValue = flag == styleFlag || flag == kindFlag || flag == ratesFlag;
        if (!takesValue) {
            if (value) {
                usage(io, command, "option '--" + name + "' doesn't allow an argument");
                return std::nullopt;
            }
            (flag == jsonFlag ? options.json : options.refresh) = true;
            continue;
        }
        if (!value) {
            if (i + 1 >= words.size()) {
                usage(io, command, "option '--" + name + "' requires an argument");
                return std::nullopt;
            }
            value = words[++i];
        }
        if (flag == styleFlag) {
            if (*value != "en" && *value != "vi") {
                usage(io, command, "invalid number style '" + *value + "' (use en or vi)");
                return std::nullopt;
            }
            options.style = *value == "vi" ? NumberStyle::vi : NumberStyle::en;
        } else if (flag == kindFlag) {
            if (*value != "transfer" && *value != "buy" && *value != "sell") {
                usage(io, command, "invalid rate kind '" + *value + "' (use transfer, buy or sell)");
                return std::nullopt;
            }
            options.kind = SumSettings::rateKindFrom(QString::fromStdString(*value));
        } else {
            options.ratesFile = *value;
        }
    }
    options.operands.assign(words.begin() + static_cast<std::ptrdiff_t>(i), words.end());
    return options;
}

// Arguments arrive as bytes; ill-formed UTF-8 becomes U+FFFD like any other input.
std::string wellFormed(const std::string& bytes) {
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size())).toStdString();
}

std::string joined(const std::vector<std::string>& words) {
    std::string text;
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (i > 0) text += ' ';
        text += wellFormed(words[i]);
    }
    return text;
}

// A file name as an error message quotes it: control characters and escape sequences in it
// must not reach the terminal.
std::string quotedPath(const std::string& path) {
    return "'" + TerminalText::printable(path) + "'";
}

std::string printableError(const std::exception& e) {
    return TerminalText::printable(e.what());
}

std::string tooLargeText() {
    return "it is larger than the " + StoredFile::sizeText(SheetStore::maxTextBytes) + " limit";
}

// The whole of a file, or of standard input for "-", up to the size a sheet may hold. A file
// named on the command line may be a pipe (`quibsum sheet <(…)`), so it is read as it comes;
// only its size is bounded.
std::optional<std::string> readInput(const std::string& path, const CommandLineIO& io, std::string& error) {
    std::string bytes;
    char buffer[64 * 1024];
    if (path == "-") {
        while (io.in.read(buffer, sizeof buffer) || io.in.gcount() > 0) {
            if (bytes.size() + static_cast<std::size_t>(io.in.gcount()) > SheetStore::maxTextBytes) {
                error = "cannot read standard input: " + tooLargeText();
                return std::nullopt;
            }
            bytes.append(buffer, static_cast<std::size_t>(io.in.gcount()));
        }
        if (io.in.bad()) {
            error = "cannot read standard input";
            return std::nullopt;
        }
        return bytes;
    }
    auto failed = [&](const std::string& reason) {
        error = "cannot read " + quotedPath(path) + ": " + reason;
        return std::nullopt;
    };
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return failed(std::strerror(errno));
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 || bytes.size() + static_cast<std::size_t>(n) > SheetStore::maxTextBytes) {
            const std::string reason = n < 0 ? std::string(std::strerror(errno)) : tooLargeText();
            ::close(fd);
            return failed(reason);
        }
        if (n == 0) break;
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return bytes;
}

// The settings a command evaluates with: the options, else the stored choices.
struct Evaluation {
    NumberStyle style;
    RateKind kind;
};

std::optional<Evaluation> evaluationFor(const Options& options, const std::string& command, const CommandLineIO& io) {
    try {
        std::unique_ptr<QSettings> storage = AppPaths::openSettings();
        SumSettings settings(*storage);
        return Evaluation{options.style.value_or(settings.engineNumberStyle()),
                          options.kind.value_or(settings.defaultVNDKind())};
    } catch (const std::exception& e) {
        io.err << "quibsum " << command << ": " << printableError(e) << '\n';
        return std::nullopt;
    }
}

std::optional<CommandRates> ratesFor(const Options& options, const std::string& command, const CommandLineIO& io) {
    try {
        if (options.ratesFile) return CommandRates::fromFile(*options.ratesFile);
        CommandRates rates = CommandRates::live();
        rates.refreshDue(refreshWait);
        return rates;
    } catch (const std::exception& e) {
        if (options.ratesFile)
            io.err << "quibsum " << command << ": cannot use the rates in " << quotedPath(*options.ratesFile) << ": "
                   << printableError(e) << '\n';
        else
            io.err << "quibsum " << command << ": cannot load the exchange rates: " << printableError(e) << '\n';
        return std::nullopt;
    }
}

// Output that never arrived is a failure, as in every well-behaved command (`>/dev/full`, a
// closed pipe, a full disk): flushes standard output and, when it failed, says so and gives 1.
int outputChecked(int status, const CommandLineIO& io) {
    errno = 0;
    io.out.flush();
    if (!io.out.fail()) return status;
    const int code = errno;
    io.err << "quibsum: write error" << (code != 0 ? std::string(": ") + std::strerror(code) : std::string()) << '\n';
    io.out.clear();  // reported once: the final check must not report it again
    outputFailed = true;
    return failure;
}

// Ends the command once its output is complete, without waiting long for a refresh that is
// still talking to the network.
int finish(int status, CommandRates& rates, const CommandLineIO& io) {
    status = outputChecked(status, io);
    io.err.flush();
    if (!rates.finish(refreshGrace) && io.abandon) io.abandon(status);
    return status;
}

int calc(const std::vector<std::string>& words, const CommandLineIO& io) {
    auto options = parseOptions(words, styleFlag | kindFlag | ratesFlag, "calc", io);
    if (!options) return usageError;
    if (options->help) {
        io.out << helpText("calc");
        return success;
    }
    if (options->operands.empty()) return usage(io, "calc", "missing expression");

    std::string expression = joined(options->operands);
    auto evaluation = evaluationFor(*options, "calc", io);
    if (!evaluation) return failure;
    auto rates = ratesFor(*options, "calc", io);
    if (!rates) return failure;

    auto outcome = QuickCalculator::evaluate(expression, rates->store(), evaluation->style, evaluation->kind);
    int status = success;
    if (const auto* display = std::get_if<std::string>(&outcome)) {
        io.out << *display << '\n';
    } else {
        io.err << std::get<QuickCalculator::Failure>(outcome).description() << '\n';
        status = failure;
    }
    return finish(status, *rates, io);
}

int sheet(const std::vector<std::string>& words, const CommandLineIO& io) {
    auto options = parseOptions(words, styleFlag | kindFlag | ratesFlag | jsonFlag, "sheet", io);
    if (!options) return usageError;
    if (options->help) {
        io.out << helpText("sheet");
        return success;
    }
    if (options->operands.size() > 1) return usage(io, "sheet", "extra operand '" + options->operands[1] + "'");

    std::string error;
    auto bytes = readInput(options->operands.empty() ? "-" : options->operands.front(), io, error);
    if (!bytes) {
        io.err << "quibsum sheet: " << error << '\n';
        return failure;
    }
    auto evaluation = evaluationFor(*options, "sheet", io);
    if (!evaluation) return failure;
    auto rates = ratesFor(*options, "sheet", io);
    if (!rates) return failure;

    const std::string text = sheetTextFromBytes(*bytes);
    bytes.reset();
    Engine engine(rates->store(), evaluation->style, evaluation->kind);
    if (options->json) SheetReport::writeJson(text, std::move(engine), io.out);
    else SheetReport::writePlain(text, std::move(engine), io.out);
    return finish(success, *rates, io);
}

int sheets(const std::vector<std::string>& words, const CommandLineIO& io) {
    auto options = parseOptions(words, 0, "sheets", io);
    if (!options) return usageError;
    if (options->help) {
        io.out << helpText("sheets");
        return success;
    }
    if (!options->operands.empty()) return usage(io, "sheets", "extra operand '" + options->operands.front() + "'");

    try {
        SheetStore store(AppPaths::sheetsDirectory());
        std::size_t titleWidth = 0;
        for (const auto& record : store.records())
            titleWidth = std::max(titleWidth, TerminalText::width(TerminalText::printable(record.title.toStdString())));
        for (const auto& record : store.records()) {
            io.out << TerminalText::padRight(TerminalText::printable(record.title.toStdString()), titleWidth) << "  "
                   << SheetStore::idText(record.id).toStdString() << "  "
                   << record.modified.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")).toStdString() << '\n';
        }
    } catch (const std::exception& e) {
        io.err << "quibsum sheets: " << printableError(e) << '\n';
        return failure;
    }
    return success;
}

int append(const std::vector<std::string>& words, const CommandLineIO& io) {
    auto options = parseOptions(words, styleFlag | kindFlag | ratesFlag, "append", io);
    if (!options) return usageError;
    if (options->help) {
        io.out << helpText("append");
        return success;
    }

    std::string text;
    if (!options->operands.empty()) {
        text = SheetStore::normalized(QString::fromStdString(joined(options->operands))).toStdString();
    } else {
        std::string error;
        auto bytes = readInput("-", io, error);
        if (!bytes) {
            io.err << "quibsum append: " << error << '\n';
            return failure;
        }
        text = sheetTextFromBytes(*bytes);
    }
    if (text.empty()) {
        io.err << "quibsum append: nothing to append\n";
        return failure;
    }

    // Rates first: a command that cannot evaluate should not have changed the sheet.
    auto evaluation = evaluationFor(*options, "append", io);
    if (!evaluation) return failure;
    auto rates = ratesFor(*options, "append", io);
    if (!rates) return failure;

    QString whole;
    try {
        whole = InstanceCommands::appendToQuickSheet(QString::fromStdString(text), false);
    } catch (const std::exception& e) {
        io.err << "quibsum append: " << printableError(e) << '\n';
        return finish(failure, *rates, io);
    }
    const std::string sheetText = whole.toStdString();
    whole.clear();
    const auto lines = static_cast<std::size_t>(std::count(sheetText.begin(), sheetText.end(), '\n') + 1);
    const auto added = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n') + 1);
    const std::size_t first = lines - std::min(added, lines);
    SheetReport::evaluate(sheetText, Engine(rates->store(), evaluation->style, evaluation->kind),
                          [&](std::size_t index, std::string_view, const LineResult& result) {
                              if (index >= first)
                                  io.out << TerminalText::printable(SheetReport::resultText(result)) << '\n';
                          });
    return finish(success, *rates, io);
}

int rates(const std::vector<std::string>& words, const CommandLineIO& io) {
    auto options = parseOptions(words, refreshFlag, "rates", io);
    if (!options) return usageError;
    if (options->help) {
        io.out << helpText("rates");
        return success;
    }
    if (!options->operands.empty()) return usage(io, "rates", "extra operand '" + options->operands.front() + "'");

    std::optional<CommandRates> rates;
    try {
        rates.emplace(CommandRates::live());
    } catch (const std::exception& e) {
        io.err << "quibsum rates: cannot load the exchange rates: " << printableError(e) << '\n';
        return failure;
    }
    const auto& store = rates->liveStore();
    int status = success;
    if (options->refresh) {
        const auto before = store->snapshot();
        RefreshReport report =
            store->refresh(std::chrono::time_point_cast<std::chrono::seconds>(std::chrono::system_clock::now()), true);
        const auto after = store->snapshot();
        // A table fetched again as it was is no news.
        using State = RefreshReport::Table::State;
        if (report.bank.state == State::updated && !report.bank.saveError && before->vcb == after->vcb &&
            before->vcbIsSeed == after->vcbIsSeed)
            report.bank.state = State::kept;
        if (report.mid.state == State::updated && !report.mid.saveError && before->erapi == after->erapi &&
            before->erapiIsSeed == after->erapiIsSeed)
            report.mid.state = State::kept;
        bool anyUpdated = false;
        bool anyFailed = false;
        for (const auto& [table, name] : {std::pair{&report.bank, "Vietcombank table"},
                                          std::pair{&report.mid, "ExchangeRate-API table"}}) {
            if (table->state == State::updated && table->saveError) {
                io.out << "Updated but not saved: " << name << ": " << TerminalText::printable(*table->saveError) << '\n';
                anyFailed = true;
            } else if (table->state == State::updated) {
                io.out << "Updated: " << name << '\n';
                anyUpdated = true;
            } else if (table->state == State::failed) {
                io.out << "Not updated: " << name << ": " << TerminalText::printable(table->problem) << '\n';
                anyFailed = true;
            } else {
                io.out << "Unchanged: " << name << (table->problem.empty() ? "" : ": " + table->problem) << '\n';
            }
        }
        // Success while something new is in force and saved, or nothing failed.
        bool saveFailed = (report.bank.saveError || report.mid.saveError);
        if (saveFailed || (anyFailed && !anyUpdated)) status = failure;
    }
    io.out << RateStatus::tablesText(*store->snapshot()).toStdString() << '\n';
    return status;
}

}  // namespace

std::string sheetTextFromBytes(const std::string& bytes) {
    QString text = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
    text = SheetStore::normalized(std::move(text));
    if (text.endsWith(u'\n')) text.chop(1);
    return text.toStdString();
}

int runCommandLine(const std::vector<std::string>& args, const CommandLineIO& io) {
    outputFailed = false;
    int status = runCommand(args, io);
    status = outputChecked(status, io);
    return outputFailed ? failure : status;
}

namespace {

int runCommand(const std::vector<std::string>& args, const CommandLineIO& io) {
    if (args.size() < 2) return usage(io, "", "missing command");
    const std::string& command = args[1];
    std::vector<std::string> rest(args.begin() + 2, args.end());
    if (command == "-h" || command == "--help") {
        io.out << helpText("");
        return success;
    }
    if (command == "--version") {
        io.out << "quibsum (Quib Sum) " QUIBSUM_VERSION "\n";
        return success;
    }
    if (command == "calc") return calc(rest, io);
    if (command == "sheet") return sheet(rest, io);
    if (command == "sheets") return sheets(rest, io);
    if (command == "append") return append(rest, io);
    if (command == "rates") return rates(rest, io);
    if (command == "show" || command == "hide" || command == "toggle")
        return InstanceCommands::runWindowCommand(command, rest, io);
    return usage(io, "", "unknown command '" + command + "'");
}

}  // namespace

}  // namespace quibsum

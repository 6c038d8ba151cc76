#include "QuibSum/cli/CommandOptions.h"
#include "QuibSum/common/CommandText.h"

#include <QString>

#include <array>
#include <ostream>
#include <string_view>
#include <utility>

#include "QuibSum/cli/CommandLine.h"
#include "QuibSum/cli/TerminalText.h"
#include "QuibSum/storage/SumSettings.h"

namespace quibsum {

namespace {

// A word that starts with "-" but is a number or an operator, not an option: "-5", "-.5", "-".
bool looksLikeOperand(const std::string& word) {
    return word.size() < 2 || word[0] != '-' || (word[1] >= '0' && word[1] <= '9') || word[1] == '.' ||
           word[1] == ',' || word[1] == ' ';
}

constexpr std::array<std::pair<std::string_view, CommandOptions::Flag>, 5> optionNames = {{
    {"style", CommandOptions::style},
    {"kind", CommandOptions::kind},
    {"rates", CommandOptions::rates},
    {"json", CommandOptions::json},
    {"refresh", CommandOptions::refresh},
}};

}  // namespace

int reportUsageError(const CommandLineIO& io, const std::string& command, const std::string& message) {
    std::string who = command.empty() ? "quibsum" : "quibsum " + command;
    // The message quotes what was typed, which may hold escape sequences.
    io.err << who << ": " << TerminalText::printable(message) << '\n'
           << CommandText::say("Try '%1 --help' for more information.", "Chạy '%1 --help' để biết thêm.",
                               {TerminalText::printable(who)})
           << '\n';
    return 2;
}

std::optional<CommandOptions> CommandOptions::parse(const std::vector<std::string>& words, unsigned allowed,
                                                    const std::string& command, const CommandLineIO& io) {
    CommandOptions options;
    auto usage = [&](const std::string& message) -> std::optional<CommandOptions> {
        reportUsageError(io, command, message);
        return std::nullopt;
    };
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
        if (word.rfind("--", 0) != 0)
            return usage(CommandText::say("invalid option '%1'", "tùy chọn không hợp lệ '%1'", {word}));
        std::string name = word.substr(2);
        std::optional<std::string> value;
        if (auto eq = name.find('='); eq != std::string::npos) {
            value = name.substr(eq + 1);
            name.resize(eq);
        }
        const auto* known = optionNames.begin();
        while (known != optionNames.end() && known->first != name) ++known;
        if (known == optionNames.end() || (allowed & known->second) == 0)
            return usage(CommandText::say("unrecognized option '--%1'", "không nhận ra tùy chọn '--%1'", {name}));
        const Flag flag = known->second;
        if (flag == json || flag == refresh) {
            if (value)
                return usage(CommandText::say("option '--%1' doesn't allow an argument",
                                              "tùy chọn '--%1' không nhận đối số", {name}));
            (flag == json ? options.asJson : options.refreshNow) = true;
            continue;
        }
        if (!value) {
            if (i + 1 >= words.size())
                return usage(
                    CommandText::say("option '--%1' requires an argument", "tùy chọn '--%1' cần một đối số", {name}));
            value = words[++i];
        }
        if (flag == style) {
            if (*value != "en" && *value != "vi")
                return usage(CommandText::say("invalid number style '%1' (use en or vi)",
                                              "kiểu số không hợp lệ '%1' (dùng en hoặc vi)", {*value}));
            options.numberStyle = *value == "vi" ? NumberStyle::vi : NumberStyle::en;
        } else if (flag == kind) {
            if (*value != "transfer" && *value != "buy" && *value != "sell")
                return usage(CommandText::say("invalid rate kind '%1' (use transfer, buy or sell)",
                                              "loại tỷ giá không hợp lệ '%1' (dùng transfer, buy hoặc sell)",
                                              {*value}));
            options.rateKind = SumSettings::rateKindFrom(QString::fromStdString(*value));
        } else {
            options.ratesFile = *value;
        }
    }
    options.operands.assign(words.begin() + static_cast<std::ptrdiff_t>(i), words.end());
    return options;
}

}  // namespace quibsum

// `quibsum calc`: one expression on its own.

#include <ostream>

#include "QuibSum/cli/CommandContext.h"
#include "QuibSum/cli/Commands.h"
#include "QuibSum/common/CommandText.h"
#include "QuibSum/common/QuickCalculator.h"

namespace quibsum {

namespace {

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

const char* const calcHelpVi = R"(Cách dùng: quibsum calc [TÙY_CHỌN]... BIỂU_THỨC...
In kết quả của một biểu thức đứng riêng: không có biến, không có kết quả trước
và không có tỷ giá gõ trong trang. Các từ được nối bằng dấu cách; tùy chọn đứng
trước chúng.

%OPTIONS%  -h, --help             hiện trợ giúp này rồi thoát

Mã thoát: 0 khi có kết quả trên đầu ra chuẩn; 1 kèm lý do trên lỗi chuẩn khi
biểu thức không có giá trị; 2 khi dùng sai cú pháp.

Ví dụ:
  quibsum calc 20% of 1,250
  quibsum calc --style vi 100 USD sang VND
)";

}  // namespace

int Commands::calc(std::string_view name, const std::vector<std::string>& words, const CommandLineIO& io) {
    CommandContext command(name, CommandText::say(calcHelp, calcHelpVi), io);
    if (auto ended = command.parse(words, CommandOptions::evaluation)) return *ended;
    if (command.options().operands.empty())
        return command.usage(CommandText::say("missing expression", "thiếu biểu thức"));

    const std::string expression = command.joinedOperands();
    auto evaluation = command.evaluation();
    if (!evaluation) return CommandContext::failure;
    auto rates = command.rates();
    if (!rates) return CommandContext::failure;

    auto outcome = QuickCalculator::evaluate(expression, rates->store(), evaluation->style, evaluation->kind);
    int status = CommandContext::success;
    if (const auto* display = std::get_if<std::string>(&outcome)) {
        io.out << *display << '\n';
    } else {
        // The engine's message as it writes it; the rest in the command line's own words.
        const auto& failure = std::get<QuickCalculator::Failure>(outcome);
        io.err << (failure.kind == QuickCalculator::Failure::Kind::engine
                       ? failure.message
                       : std::string(
                             CommandText::say("Cannot calculate this expression", "Không tính được biểu thức này")))
               << '\n';
        status = CommandContext::failure;
    }
    return command.finish(status, *rates);
}

}  // namespace quibsum

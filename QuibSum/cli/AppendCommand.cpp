// `quibsum append`: new lines at the end of the quick sheet, through the running application
// when there is one, and the results of the new lines.

#include <QString>

#include <algorithm>
#include <ostream>

#include "QuibSum/bus/SumServiceClient.h"
#include "QuibSum/cli/CommandContext.h"
#include "QuibSum/cli/Commands.h"
#include "QuibSum/cli/InstanceCommands.h"
#include "QuibSum/cli/SheetInput.h"
#include "QuibSum/cli/SheetReport.h"
#include "QuibSum/cli/TerminalText.h"
#include "QuibSum/common/CommandText.h"
#include "QuibSum/storage/SheetStore.h"
#include "QuibSumCore/Engine.h"
#include "QuibSumCore/LineEnds.h"

namespace quibsum {

namespace {

const char* const appendHelp = R"(Usage: quibsum append [OPTION]... [TEXT]...
Add TEXT (the words joined by spaces), or standard input without TEXT, as new
lines at the end of the quick sheet, save it at once, and print the result of
each new line as the quick sheet shows it. When Quib Sum is running, it adds
the lines and shows the quick sheet.

%OPTIONS%  -h, --help             display this help and exit

Exit status: 0 when the lines were added; 1 when they were not: the quick
sheet cannot be read or written (for instance it is not UTF-8 text, which is
never rewritten), or another program kept the sheets locked (waited for at
most 5 seconds).
)";

const char* const appendHelpVi = R"(Cách dùng: quibsum append [TÙY_CHỌN]... [VĂN_BẢN]...
Thêm VĂN_BẢN (các từ nối bằng dấu cách), hoặc đầu vào chuẩn khi không có
VĂN_BẢN, thành các dòng mới ở cuối trang nhanh, lưu ngay, và in kết quả của mỗi
dòng mới như trang nhanh hiển thị. Khi Quib Sum đang chạy, nó thêm các dòng và
hiện trang nhanh.

%OPTIONS%  -h, --help             hiện trợ giúp này rồi thoát

Mã thoát: 0 khi các dòng đã được thêm; 1 khi không: không đọc hoặc ghi được
trang nhanh (chẳng hạn nó không phải văn bản UTF-8, loại không bao giờ bị ghi
lại), hoặc một chương trình khác giữ khoá các trang (chờ tối đa 5 giây).
)";

}  // namespace

int Commands::append(std::string_view name, const std::vector<std::string>& words, const CommandLineIO& io) {
    CommandContext command(name, CommandText::say(appendHelp, appendHelpVi), io);
    if (auto ended = command.parse(words, CommandOptions::evaluation)) return *ended;

    std::string text;
    if (!command.options().operands.empty()) {
        text = LineEnds::withLineFeeds(QString::fromStdString(command.joinedOperands())).toStdString();
    } else {
        auto bytes = command.readInput("-");
        if (!bytes) return CommandContext::failure;
        text = SheetInput::textFromBytes(*bytes);
    }
    if (text.empty()) return command.fail(CommandText::say("nothing to append", "không có gì để thêm"));

    // Rates first: a command that cannot evaluate should not have changed the sheet.
    auto evaluation = command.evaluation();
    if (!evaluation) return CommandContext::failure;
    auto rates = command.rates();
    if (!rates) return CommandContext::failure;

    QString whole;
    try {
        whole = InstanceCommands::appendToQuickSheet(QString::fromStdString(text), false);
    } catch (const std::exception& e) {
        command.fail(TerminalText::printable(e.what()));
        const int status = command.finish(CommandContext::failure, *rates);
        // The bus library may still hold a thread in the call, which it would wait for at exit.
        if (SumServiceClient::callAbandoned() && io.abandon) io.abandon(status);
        return status;
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
    return command.finish(CommandContext::success, *rates);
}

}  // namespace quibsum

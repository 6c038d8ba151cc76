// `quibsum sheets`: the stored sheets, one line each.

#include <QDateTime>
#include <QString>

#include <algorithm>
#include <ostream>

#include "QuibSum/cli/CommandContext.h"
#include "QuibSum/cli/Commands.h"
#include "QuibSum/cli/TerminalText.h"
#include "QuibSum/common/CommandText.h"
#include "QuibSum/storage/AppPaths.h"
#include "QuibSum/storage/SheetStore.h"

namespace quibsum {

namespace {

const char* const sheetsHelp = R"(Usage: quibsum sheets
List the stored sheets, the quick sheet first: title, identifier and when the
text last changed.

  -h, --help             display this help and exit
)";

const char* const sheetsHelpVi = R"(Cách dùng: quibsum sheets
Liệt kê các trang đã lưu, trang nhanh trước tiên: tiêu đề, mã định danh và lần
cuối văn bản thay đổi.

  -h, --help             hiện trợ giúp này rồi thoát
)";

}  // namespace

int Commands::sheets(std::string_view name, const std::vector<std::string>& words, const CommandLineIO& io) {
    CommandContext command(name, CommandText::say(sheetsHelp, sheetsHelpVi), io);
    if (auto ended = command.parse(words, 0)) return *ended;
    const auto& operands = command.options().operands;
    if (!operands.empty())
        return command.usage(CommandText::say("extra operand '%1'", "đối số thừa '%1'", {operands.front()}));

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
        return command.fail(TerminalText::printable(e.what()));
    }
    return CommandContext::success;
}

}  // namespace quibsum

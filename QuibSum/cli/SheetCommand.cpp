// `quibsum sheet`: a whole sheet with each line's result and the total, as text or JSON.

#include "QuibSum/cli/CommandContext.h"
#include "QuibSum/cli/Commands.h"
#include "QuibSum/cli/SheetInput.h"
#include "QuibSum/cli/SheetReport.h"
#include "QuibSum/common/CommandText.h"
#include "QuibSumCore/Engine.h"

namespace quibsum {

namespace {

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

const char* const sheetHelpVi = R"(Cách dùng: quibsum sheet [TÙY_CHỌN]... [TỆP]
Tính cả một trang, đọc từ TỆP hoặc, khi không có TỆP hay TỆP là -, từ đầu vào
chuẩn, rồi in từng dòng với kết quả của nó ở cột bên phải, sau đó là tổng trang.
Văn bản không phải UTF-8 hợp lệ được đọc với ký tự thay thế.

%OPTIONS%      --json             in thay vào đó một đối tượng JSON:
                           {"lines": [...], "total": {...}}
  -h, --help             hiện trợ giúp này rồi thoát

Trong JSON, một dòng là {"result": "value", "display": VĂN_BẢN, "value": VĂN_BẢN
SỐ THẬP PHÂN CHÍNH XÁC, "unit": KÝ_HIỆU hoặc null}, {"result": "error",
"message": VĂN_BẢN} hoặc {"result": "note"}; tổng là {"result": "value",
"display": VĂN_BẢN, "count": N}, {"result": "empty"}, {"result": "incompatible"}
hoặc {"result": "error", "message": VĂN_BẢN}.

Mã thoát: 0 khi trang đã được tính (dù các dòng chứa gì); 1 khi không đọc được
nó; 2 khi dùng sai cú pháp.
)";

}  // namespace

int Commands::sheet(std::string_view name, const std::vector<std::string>& words, const CommandLineIO& io) {
    CommandContext command(name, CommandText::say(sheetHelp, sheetHelpVi), io);
    if (auto ended = command.parse(words, CommandOptions::evaluation | CommandOptions::json)) return *ended;
    const auto& operands = command.options().operands;
    if (operands.size() > 1)
        return command.usage(CommandText::say("extra operand '%1'", "đối số thừa '%1'", {operands[1]}));

    auto bytes = command.readInput(operands.empty() ? "-" : operands.front());
    if (!bytes) return CommandContext::failure;
    auto evaluation = command.evaluation();
    if (!evaluation) return CommandContext::failure;
    auto rates = command.rates();
    if (!rates) return CommandContext::failure;

    const std::string text = SheetInput::textFromBytes(*bytes);
    bytes.reset();
    Engine engine(rates->store(), evaluation->style, evaluation->kind);
    if (command.options().asJson)
        SheetReport::writeJson(text, std::move(engine), io.out);
    else
        SheetReport::writePlain(text, std::move(engine), io.out);
    return command.finish(CommandContext::success, *rates);
}

}  // namespace quibsum

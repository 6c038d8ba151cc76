#include "QuibSum/cli/CommandLine.h"
#include "QuibSum/common/CommandText.h"

#include <array>
#include <ostream>

#include "QuibSum/cli/CommandContext.h"
#include "QuibSum/cli/CommandOptions.h"
#include "QuibSum/cli/Commands.h"

namespace quibsum {

namespace {

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
  QUIBSUM_CONFIG_DIR     folder of the settings
                         (default: $XDG_CONFIG_HOME/QuibSum, ~/.config/QuibSum)

Exit status: 0 on success, 1 when the command fails, 2 on a usage error.
)";

const char* const programHelpVi = R"(Cách dùng: quibsum [--hidden]
  hoặc:  quibsum LỆNH [TÙY_CHỌN]... [ĐỐI_SỐ]...
Máy tính dạng sổ ghi chú: số học, đơn vị, phần trăm bằng chữ, tiền tệ và biến,
bằng tiếng Anh và tiếng Việt, mỗi lần một dòng.

Không có lệnh thì mở cửa sổ Quib Sum với các trang đã lưu (--hidden khởi động
mà không hiện cửa sổ); khi Quib Sum đang chạy thì hiện cửa sổ của nó. Chỉ show,
toggle và append-selection cần màn hình.

Lệnh:
  calc BIỂU_THỨC...      in kết quả của một biểu thức
  sheet [TỆP]            in cả trang, mỗi dòng với kết quả của nó, và tổng
  sheets                 liệt kê các trang đã lưu
  append [VĂN_BẢN]...    thêm dòng vào trang nhanh và in kết quả của chúng
  rates [--refresh]      cho biết tỷ giá nào đang được dùng
  show                   hiện cửa sổ, khởi động Quib Sum nếu cần
  hide                   ẩn cửa sổ
  toggle                 ẩn cửa sổ khi nó ở trước, nếu không thì hiện nó
  append-selection       thêm văn bản đang chọn vào trang nhanh và hiện nó

  -h, --help             hiện trợ giúp này rồi thoát
      --version          in thông tin phiên bản rồi thoát

Chạy 'quibsum LỆNH --help' để xem các tùy chọn của từng lệnh.

Biến môi trường:
  QUIBSUM_DATA_DIR       thư mục của các trang và bộ nhớ đệm tỷ giá
                         (mặc định: $XDG_DATA_HOME/QuibSum, ~/.local/share/QuibSum)
  QUIBSUM_CONFIG_DIR     thư mục của phần cài đặt
                         (mặc định: $XDG_CONFIG_HOME/QuibSum, ~/.config/QuibSum)

Mã thoát: 0 khi thành công, 1 khi lệnh thất bại, 2 khi dùng sai cú pháp.
)";

constexpr std::array<Command, 4> computing = {{
    {"calc", Commands::calc},
    {"sheet", Commands::sheet},
    {"sheets", Commands::sheets},
    {"rates", Commands::rates},
}};

int runCommand(const std::vector<std::string>& args, const CommandLineIO& io, std::span<const Command> commands) {
    if (args.size() < 2) return reportUsageError(io, "", CommandText::say("missing command", "thiếu lệnh"));
    const std::string& name = args[1];
    if (name == "-h" || name == "--help") {
        io.out << CommandText::say(programHelp, programHelpVi);
        return CommandContext::success;
    }
    if (name == "--version") {
        io.out << "quibsum (Quib Sum) " QUIBSUM_VERSION "\n";
        return CommandContext::success;
    }
    for (const Command& command : commands)
        if (command.name == name) return command.run(command.name, {args.begin() + 2, args.end()}, io);
    return reportUsageError(io, "", CommandText::say("unknown command '%1'", "không có lệnh '%1'", {name}));
}

}  // namespace

std::span<const Command> computingCommands() { return computing; }

int runCommandLine(const std::vector<std::string>& args, const CommandLineIO& io, std::span<const Command> commands) {
    CommandContext::startRun();
    int status = runCommand(args, io, commands);
    status = CommandContext::outputChecked(status, io);
    return CommandContext::outputFailed() ? CommandContext::failure : status;
}

}  // namespace quibsum

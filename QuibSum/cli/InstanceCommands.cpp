#include "QuibSum/cli/InstanceCommands.h"
#include "QuibSum/common/CommandText.h"

#include <QVariant>

#include <array>
#include <chrono>
#include <optional>
#include <ostream>
#include <stdexcept>

#include "QuibSum/bus/SumServiceClient.h"
#include "QuibSum/cli/Commands.h"
#include "QuibSum/storage/AppPaths.h"
#include "QuibSum/storage/SheetStore.h"
#include "QuibSumCore/Clock.h"

namespace quibsum::InstanceCommands {

namespace {

using Status = SumServiceClient::Reply::Status;

constexpr int success = 0;
constexpr int failure = 1;
constexpr int usageError = 2;

// How long a freshly started application may take to claim its name: a cold start on a slow
// disk, with a large sheet, takes well under this.
constexpr std::chrono::milliseconds startWait{10000};

// How long before the end of its wait an append's deadline falls.
constexpr std::chrono::milliseconds deadlineMargin{1000};

std::string seconds(std::chrono::milliseconds time) {
    return CommandText::say("%1 seconds", "%1 giây",
                            {std::to_string(std::chrono::duration_cast<std::chrono::seconds>(time).count())});
}

const char* const showHelp = R"(Usage: quibsum show
Show the Quib Sum window in front, starting Quib Sum when it is not running.

  -h, --help             display this help and exit

Exit status: 0 when the window is shown or Quib Sum has started; 1 when it
cannot be reached or started (no session bus, no display, or Quib Sum failed
at start, whose reason is printed).
)";

const char* const hideHelp = R"(Usage: quibsum hide
Hide the Quib Sum window. Without a running Quib Sum there is nothing to do.

  -h, --help             display this help and exit

Exit status: 0 when the window is hidden or none runs; 1 when the running
Quib Sum cannot be reached (no session bus).
)";

const char* const toggleHelp = R"(Usage: quibsum toggle
Hide the Quib Sum window when it is in front, otherwise show it, starting
Quib Sum when it is not running. Bind this command to a key in the desktop's
keyboard settings to summon the window from anywhere.

  -h, --help             display this help and exit

Exit status: 0 on success; 1 when Quib Sum cannot be reached or started (its
reason is printed).
)";

const char* const appendSelectionHelp = R"(Usage: quibsum append-selection
Add the selected text (the primary selection, else the clipboard) as new lines
at the end of the quick sheet and show it in the Quib Sum window, the caret
after the new text. Starts Quib Sum when it is not running. Bind this command
to a key in the desktop's keyboard settings to calculate a selection from any
program.

  -h, --help             display this help and exit

Exit status: 0 when the text was added; 1 when nothing is selected, there is no
display, Quib Sum could not start, or the quick sheet cannot be written.
)";

const char* const showHelpVi = R"(Cách dùng: quibsum show
Hiện cửa sổ Quib Sum lên trước, khởi động Quib Sum khi nó chưa chạy.

  -h, --help             hiện trợ giúp này rồi thoát

Mã thoát: 0 khi cửa sổ đã hiện hoặc Quib Sum đã khởi động; 1 khi không liên lạc
hay khởi động được nó (không có bus phiên, không có màn hình, hoặc Quib Sum lỗi
khi khởi động, lý do được in ra).
)";

const char* const hideHelpVi = R"(Cách dùng: quibsum hide
Ẩn cửa sổ Quib Sum. Khi Quib Sum không chạy thì không có gì để làm.

  -h, --help             hiện trợ giúp này rồi thoát

Mã thoát: 0 khi cửa sổ đã ẩn hoặc không có Quib Sum nào chạy; 1 khi không liên
lạc được với Quib Sum đang chạy (không có bus phiên).
)";

const char* const toggleHelpVi = R"(Cách dùng: quibsum toggle
Ẩn cửa sổ Quib Sum khi nó ở trước, nếu không thì hiện nó, khởi động Quib Sum khi
nó chưa chạy. Gán lệnh này cho một phím trong phần cài đặt bàn phím của màn hình
nền để gọi cửa sổ từ bất cứ đâu.

  -h, --help             hiện trợ giúp này rồi thoát

Mã thoát: 0 khi thành công; 1 khi không liên lạc hay khởi động được Quib Sum (lý
do được in ra).
)";

const char* const appendSelectionHelpVi = R"(Cách dùng: quibsum append-selection
Thêm văn bản đang chọn (phần chọn chính, nếu không thì bảng tạm) thành các dòng
mới ở cuối trang nhanh và hiện nó trong cửa sổ Quib Sum, con trỏ sau văn bản
mới. Khởi động Quib Sum khi nó chưa chạy. Gán lệnh này cho một phím trong phần
cài đặt bàn phím của màn hình nền để tính phần chọn từ bất kỳ chương trình nào.

  -h, --help             hiện trợ giúp này rồi thoát

Mã thoát: 0 khi văn bản đã được thêm; 1 khi không có gì được chọn, không có màn
hình, Quib Sum không khởi động được, hoặc không ghi được trang nhanh.
)";

}  // namespace

std::optional<int> parseBare(const std::string& command, const std::vector<std::string>& words,
                             const CommandLineIO& io) {
    bool help = false;
    for (const std::string& word : words) {
        if (word == "-h" || word == "--help") {
            help = true;
            continue;
        }
        const std::string who = "quibsum " + command;
        io.err << who << ": "
               << (word.rfind('-', 0) == 0
                       ? CommandText::say("unrecognized option '%1'", "không nhận ra tùy chọn '%1'", {word})
                       : CommandText::say("extra operand '%1'", "đối số thừa '%1'", {word}))
               << '\n'
               << CommandText::say("Try '%1 --help' for more information.", "Chạy '%1 --help' để biết thêm.", {who})
               << '\n';
        return usageError;
    }
    if (help) {
        io.out << helpText(command);
        return success;
    }
    return std::nullopt;
}

namespace {

int unreachable(const std::string& command, const SumServiceClient::Reply& reply, const CommandLineIO& io) {
    io.err << "quibsum " << command << ": ";
    if (reply.status == Status::noBus)
        io.err << CommandText::say("there is no D-Bus session bus to reach Quib Sum through",
                                   "không có bus phiên D-Bus để liên lạc với Quib Sum")
               << '\n';
    else if (reply.status == Status::noAnswer)
        io.err << CommandText::say("the running Quib Sum window did not answer within %1",
                                   "cửa sổ Quib Sum đang chạy không trả lời trong vòng %1",
                                   {seconds(SumServiceClient::answerTimeout)})
               << '\n';
    else
        io.err << CommandText::say("Quib Sum refused: %1", "Quib Sum từ chối: %1", {reply.message.toStdString()})
               << '\n';
    // The bus library may still hold a thread in the call, which it would wait for at exit.
    if (SumServiceClient::callAbandoned() && io.abandon) io.abandon(failure);
    return failure;
}

int windowCommand(std::string_view name, const std::vector<std::string>& words, const CommandLineIO& io) {
    return runWindowCommand(std::string(name), words, io);
}

constexpr std::array<Command, 4> instanceCommands = {{
    {"append", Commands::append},
    {"show", windowCommand},
    {"hide", windowCommand},
    {"toggle", windowCommand},
}};

}  // namespace

std::span<const Command> commands() { return instanceCommands; }

std::string helpText(const std::string& command) {
    using CommandText::say;
    return command == "show"     ? say(showHelp, showHelpVi)
           : command == "hide"   ? say(hideHelp, hideHelpVi)
           : command == "toggle" ? say(toggleHelp, toggleHelpVi)
                                 : say(appendSelectionHelp, appendSelectionHelpVi);
}

int runWindowCommand(const std::string& command, const std::vector<std::string>& words, const CommandLineIO& io) {
    if (auto status = parseBare(command, words, io)) return *status;
    const QString method = command == "show"   ? QStringLiteral("Show")
                           : command == "hide" ? QStringLiteral("Hide")
                                               : QStringLiteral("Toggle");
    SumServiceClient client;
    SumServiceClient::Reply reply;
    if (command == "hide") {
        reply = client.call(method);
    } else {
        // The token the desktop gave whoever ran this command: with it, a Wayland compositor
        // lets the window come forward. An instance from before tokens is asked the old way.
        QVariantMap platformData;
        if (const QString token = qEnvironmentVariable("XDG_ACTIVATION_TOKEN"); !token.isEmpty())
            platformData.insert(QStringLiteral("activation-token"), token);
        reply = client.call(method + QStringLiteral("With"), {platformData});
        if (reply.status == Status::failed &&
            reply.errorName == QLatin1String("org.freedesktop.DBus.Error.UnknownMethod"))
            reply = client.call(method);
    }
    if (reply.status == Status::ok) return success;
    if (reply.status != Status::noInstance) return unreachable(command, reply, io);
    if (command == "hide") return success;
    if (!SumServiceClient::hasDisplay()) {
        io.err << "quibsum " << command << ": "
               << CommandText::say("Quib Sum is not running and there is no display to start it on",
                                   "Quib Sum không chạy và không có màn hình để khởi động nó")
               << '\n';
        return failure;
    }
    if (const std::optional<QString> error = client.startInstance(false, startWait)) {
        io.err << "quibsum " << command << ": "
               << CommandText::say("Quib Sum could not start: %1", "Quib Sum không khởi động được: %1",
                                   {error->toStdString()})
               << '\n';
        return failure;
    }
    return success;
}

namespace {

// Appends through the running instance with a deadline, past which it adds nothing: a text
// this command reports as not added must not turn up later. An instance from before deadlines
// is asked the old way, and then the text may still arrive.
SumServiceClient::Reply appendThrough(const SumServiceClient& client, const QString& text, bool& mayArriveLate) {
    const std::chrono::milliseconds timeout = SumServiceClient::appendTimeout(text.size());
    // The instance must take the text up well before this command stops waiting: the rest is
    // for writing it and for the answer's way back (and the bus library's timer may fire a
    // little early).
    const qint64 deadline = Clock::system().millisecondsSinceEpoch() + (timeout - deadlineMargin).count();
    SumServiceClient::Reply reply =
        client.call(QStringLiteral("AppendTextBefore"), {text, QVariant::fromValue<qlonglong>(deadline)}, timeout);
    mayArriveLate =
        reply.status == Status::failed && reply.errorName == QLatin1String("org.freedesktop.DBus.Error.UnknownMethod");
    if (mayArriveLate) reply = client.call(QStringLiteral("AppendText"), {text}, timeout);
    return reply;
}

}  // namespace

QString appendToQuickSheet(const QString& text, bool startInstance) {
    SumServiceClient client;
    bool mayArriveLate = false;
    SumServiceClient::Reply reply = appendThrough(client, text, mayArriveLate);
    if (reply.status == Status::noInstance && startInstance && SumServiceClient::hasDisplay()) {
        // Started hidden: the append shows it, on the quick sheet, rather than first on the
        // sheet it showed last. Two commands racing here start two; the second one ends.
        // A window that cannot start gets nothing written behind its back: the text is still
        // where it came from.
        if (const std::optional<QString> error = client.startInstance(true, startWait))
            throw std::runtime_error(CommandText::say("Quib Sum could not start, so the text was not added: %1",
                                                      "Quib Sum không khởi động được nên văn bản chưa được thêm: %1",
                                                      {error->toStdString()}));
        reply = appendThrough(client, text, mayArriveLate);
    }
    if (reply.status == Status::ok) return reply.value;
    if (reply.status == Status::noAnswer) {
        // Writing it here would write behind the window's back, over what it shows.
        throw std::runtime_error(
            mayArriveLate ? CommandText::say("the running Quib Sum window did not answer within %1; it may still add "
                                             "the text",
                                             "cửa sổ Quib Sum đang chạy không trả lời trong vòng %1; nó vẫn có thể "
                                             "thêm văn bản",
                                             {seconds(SumServiceClient::appendTimeout(text.size()))})
                          : CommandText::say("the running Quib Sum window did not answer within %1; the text was not "
                                             "added",
                                             "cửa sổ Quib Sum đang chạy không trả lời trong vòng %1; văn bản chưa "
                                             "được thêm",
                                             {seconds(SumServiceClient::appendTimeout(text.size()))}));
    }
    if (reply.status == Status::failed) {
        // It may have been written before the instance failed to answer; writing it here as
        // well could add it twice.
        throw std::runtime_error(reply.message.toStdString());
    }
    // Nothing serves the sheets: write them here, under the store's lock.
    SheetStore store(AppPaths::sheetsDirectory());
    return store.appendToQuickSheet(text);
}

}  // namespace quibsum::InstanceCommands

#include "QuibSum/cli/InstanceCommands.h"

#include <QDateTime>
#include <QVariant>

#include <array>
#include <chrono>
#include <optional>
#include <ostream>
#include <stdexcept>

#include "QuibSum/cli/Commands.h"
#include "QuibSum/shell/SumServiceClient.h"
#include "QuibSum/storage/AppPaths.h"
#include "QuibSum/storage/SheetStore.h"

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
    return std::to_string(std::chrono::duration_cast<std::chrono::seconds>(time).count()) + " seconds";
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
        io.err << who << ": " << (word.rfind('-', 0) == 0 ? "unrecognized option '" : "extra operand '") << word
               << "'\nTry '" << who << " --help' for more information.\n";
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
        io.err << "there is no D-Bus session bus to reach Quib Sum through\n";
    else if (reply.status == Status::noAnswer)
        io.err << "the running Quib Sum window did not answer within " << seconds(SumServiceClient::answerTimeout)
               << '\n';
    else
        io.err << "Quib Sum refused: " << reply.message.toStdString() << '\n';
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
    return command == "show"     ? showHelp
           : command == "hide"   ? hideHelp
           : command == "toggle" ? toggleHelp
                                 : appendSelectionHelp;
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
        io.err << "quibsum " << command << ": Quib Sum is not running and there is no display to start it on\n";
        return failure;
    }
    if (const std::optional<QString> error = client.startInstance(false, startWait)) {
        io.err << "quibsum " << command << ": Quib Sum could not start: " << error->toStdString() << '\n';
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
    const qint64 deadline = QDateTime::currentMSecsSinceEpoch() + (timeout - deadlineMargin).count();
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
            throw std::runtime_error("Quib Sum could not start, so the text was not added: " + error->toStdString());
        reply = appendThrough(client, text, mayArriveLate);
    }
    if (reply.status == Status::ok) return reply.value;
    if (reply.status == Status::noAnswer) {
        // Writing it here would write behind the window's back, over what it shows.
        throw std::runtime_error("the running Quib Sum window did not answer within " +
                                 seconds(SumServiceClient::appendTimeout(text.size())) +
                                 (mayArriveLate ? "; it may still add the text" : "; the text was not added"));
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

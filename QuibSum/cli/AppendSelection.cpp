// `quibsum append-selection`: the one command that reads from the display, so only the window
// program takes it from the commands' library; the others never load Qt Gui.

#include <QClipboard>
#include <QGuiApplication>

#include <chrono>
#include <ostream>

#include "QuibSum/bus/SumBusAddress.h"
#include "QuibSum/bus/SumService.h"
#include "QuibSum/bus/SumServiceClient.h"
#include "QuibSum/cli/InstanceCommands.h"
#include "QuibSum/common/CommandText.h"
#include "QuibSum/desktop/SelectionReader.h"

namespace quibsum::InstanceCommands {

namespace {

constexpr int success = 0;
constexpr int failure = 1;
constexpr std::chrono::milliseconds startWait{10000};

using Status = SumServiceClient::Reply::Status;

// On Wayland only the client with the keyboard may read the selection, and this process never
// has it: the running window comes forward (with the token the desktop gave this command)
// and reads it there.
int appendSelectionThroughWindow(const CommandLineIO& io) {
    QVariantMap platformData;
    if (const QString token = qEnvironmentVariable("XDG_ACTIVATION_TOKEN"); !token.isEmpty())
        platformData.insert(QStringLiteral("activation-token"), token);
    const std::chrono::milliseconds timeout = SelectionReader::focusWait + SelectionReader::offerWait +
                                              SumServiceClient::appendTimeout(SumService::maxTextBytes);
    SumServiceClient client;
    SumServiceClient::Reply reply = client.call(QStringLiteral("AppendSelectionWith"), {platformData}, timeout);
    if (reply.status == Status::noInstance) {
        if (const std::optional<QString> error = client.startInstance(true, startWait)) {
            io.err << "quibsum append-selection: Quib Sum could not start: " << error->toStdString() << '\n';
            return failure;
        }
        reply = client.call(QStringLiteral("AppendSelectionWith"), {platformData}, timeout);
    }
    switch (reply.status) {
        case Status::ok:
            return success;
        case Status::failed:
            if (reply.errorName == QLatin1String(SumBusAddress::noSelectionError)) {
                io.err << "quibsum append-selection: no text is selected or copied\n";
            } else {
                io.err << "quibsum append-selection: " << reply.message.toStdString() << '\n';
            }
            return failure;
        case Status::noAnswer:
            io.err << "quibsum append-selection: the running Quib Sum window did not answer; the selection may "
                      "still be added\n";
            if (SumServiceClient::callAbandoned() && io.abandon) io.abandon(failure);
            return failure;
        case Status::noBus:
        case Status::noInstance:
            break;
    }
    io.err << "quibsum append-selection: Quib Sum is not reachable on the session bus\n";
    return failure;
}

}  // namespace

int runAppendSelection(int& argc, char** argv, const std::vector<std::string>& words, const CommandLineIO& io) {
    if (auto status = parseBare("append-selection", words, io)) return *status;
    if (!SumServiceClient::hasDisplay()) {
        io.err << "quibsum append-selection: "
               << CommandText::say(
                      "there is no display to read the selection from "
                      "(neither DISPLAY nor WAYLAND_DISPLAY names one that is reachable)",
                      "không có màn hình để đọc phần chọn "
                      "(cả DISPLAY lẫn WAYLAND_DISPLAY đều không chỉ tới màn hình nào tới được)")
               << '\n';
        return failure;
    }
    QGuiApplication app(argc, argv);
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) return appendSelectionThroughWindow(io);
    QClipboard* clipboard = QGuiApplication::clipboard();
    QString text = clipboard->supportsSelection() ? clipboard->text(QClipboard::Selection) : QString();
    if (text.isEmpty()) text = clipboard->text(QClipboard::Clipboard);
    if (text.isEmpty()) {
        io.err << "quibsum append-selection: "
               << CommandText::say("no text is selected or copied", "không có văn bản nào được chọn hay chép") << '\n';
        return failure;
    }
    if (text.toUtf8().size() > SumService::maxTextBytes) {
        io.err << "quibsum append-selection: "
               << CommandText::say("the selection is larger than the 64 MiB a sheet can hold",
                                   "phần chọn lớn hơn 64 MiB mà một trang chứa được")
               << '\n';
        return failure;
    }
    try {
        appendToQuickSheet(text, true);
    } catch (const std::exception& e) {
        io.err << "quibsum append-selection: " << e.what() << '\n';
        // The bus library may still hold a thread in the call, which it would wait for at exit.
        if (SumServiceClient::callAbandoned() && io.abandon) io.abandon(failure);
        return failure;
    }
    return success;
}

}  // namespace quibsum::InstanceCommands

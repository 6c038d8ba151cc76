// `quibsum append-selection`: the one command that reads from the display, so it lives with
// the window, apart from the commands that only talk to the running application.

#include <QClipboard>
#include <QGuiApplication>

#include <ostream>

#include "QuibSum/cli/CommandText.h"
#include "QuibSum/cli/InstanceCommands.h"
#include "QuibSum/shell/SumService.h"
#include "QuibSum/shell/SumServiceClient.h"

namespace quibsum::InstanceCommands {

namespace {

constexpr int success = 0;
constexpr int failure = 1;

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

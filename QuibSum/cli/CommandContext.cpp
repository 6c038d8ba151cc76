#include "QuibSum/cli/CommandContext.h"
#include "QuibSum/common/CommandText.h"

#include <QSettings>
#include <QString>

#include <cerrno>
#include <cstring>
#include <memory>
#include <ostream>

#include "QuibSum/cli/SheetInput.h"
#include "QuibSum/cli/TerminalText.h"
#include "QuibSum/storage/AppPaths.h"
#include "QuibSum/storage/SumSettings.h"

namespace quibsum {

namespace {

// Set when standard output failed during this run, so that the exit status stays 1.
bool standardOutputFailed = false;

const char* const evaluationOptionsHelp = R"(      --style=STYLE      read and write numbers in STYLE: en (1,234.5) or
                         vi (1.234,5); default: the stored setting
      --kind=KIND        bank rate for conversions to and from VND: transfer,
                         buy or sell; default: the stored setting
      --rates=FILE       use exactly the rates in FILE (the rate cache's format)
                         and no network; by default the stored rates are used,
                         after giving a due refresh a quarter of a second
)";

const char* const evaluationOptionsHelpVi = R"(      --style=KIỂU       đọc và viết số theo KIỂU: en (1,234.5) hoặc
                         vi (1.234,5); mặc định: theo cài đặt đã lưu
      --kind=LOẠI        tỷ giá ngân hàng khi đổi sang và từ VND: transfer
                         (chuyển khoản), buy (mua) hoặc sell (bán); mặc định:
                         theo cài đặt đã lưu
      --rates=TỆP        chỉ dùng đúng các tỷ giá trong TỆP (định dạng của bộ
                         nhớ đệm tỷ giá), không dùng mạng; mặc định dùng tỷ giá
                         đã lưu, sau khi cho lần cập nhật đến hạn một phần tư giây
)";

std::string printableError(const std::exception& e) { return TerminalText::printable(e.what()); }

}  // namespace

CommandContext::CommandContext(std::string_view name, const char* help, const CommandLineIO& io)
    : name_(name), help_(help), io_(io) {}

std::optional<int> CommandContext::parse(const std::vector<std::string>& words, unsigned allowed) {
    auto parsed = CommandOptions::parse(words, allowed, name_, io_);
    if (!parsed) return usageError;
    options_ = std::move(*parsed);
    if (!options_.help) return std::nullopt;
    std::string text = help_;
    if (auto at = text.find("%OPTIONS%"); at != std::string::npos)
        text.replace(at, 9, CommandText::say(evaluationOptionsHelp, evaluationOptionsHelpVi));
    io_.out << text;
    return success;
}

std::string CommandContext::joinedOperands() const {
    std::string text;
    for (std::size_t i = 0; i < options_.operands.size(); ++i) {
        if (i > 0) text += ' ';
        const std::string& bytes = options_.operands[i];
        text += QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size())).toStdString();
    }
    return text;
}

int CommandContext::usage(const std::string& message) const { return reportUsageError(io_, name_, message); }

int CommandContext::fail(const std::string& message) const {
    io_.err << "quibsum " << name_ << ": " << message << '\n';
    return failure;
}

std::optional<std::string> CommandContext::readInput(const std::string& path) const {
    std::string error;
    auto bytes = SheetInput::read(path, io_.in, error);
    if (!bytes) fail(error);
    return bytes;
}

std::optional<CommandContext::Evaluation> CommandContext::evaluation() const {
    try {
        std::optional<QString> refusal;
        std::unique_ptr<QSettings> storage = AppPaths::openSettings(refusal);
        if (refusal)
            io_.err << "quibsum " << name_ << ": " << CommandText::say("warning: ", "cảnh báo: ")
                    << TerminalText::printable(refusal->toStdString()) << '\n';
        SumSettings settings(*storage);
        return Evaluation{options_.numberStyle.value_or(settings.engineNumberStyle()),
                          options_.rateKind.value_or(settings.defaultVNDKind())};
    } catch (const std::exception& e) {
        fail(printableError(e));
        return std::nullopt;
    }
}

std::optional<CommandRates> CommandContext::rates() const {
    try {
        if (options_.ratesFile) return CommandRates::fromFile(*options_.ratesFile);
        CommandRates rates = CommandRates::live();
        rates.refreshDue(refreshWait);
        return rates;
    } catch (const std::exception& e) {
        if (options_.ratesFile)
            fail(CommandText::say("cannot use the rates in '%1': %2", "không dùng được tỷ giá trong '%1': %2",
                                  {TerminalText::printable(*options_.ratesFile), printableError(e)}));
        else
            fail(CommandText::say("cannot load the exchange rates: %1", "không nạp được tỷ giá: %1",
                                  {printableError(e)}));
        return std::nullopt;
    }
}

int CommandContext::finish(int status, CommandRates& rates) const {
    status = outputChecked(status, io_);
    io_.err.flush();
    if (!rates.finish(refreshGrace) && io_.abandon) io_.abandon(status);
    return status;
}

int CommandContext::outputChecked(int status, const CommandLineIO& io) {
    errno = 0;
    io.out.flush();
    if (!io.out.fail()) return status;
    const int code = errno;
    io.err << "quibsum: " << CommandText::say("write error", "lỗi ghi")
           << (code != 0 ? std::string(": ") + std::strerror(code) : std::string()) << '\n';
    io.out.clear();  // reported once: the final check must not report it again
    standardOutputFailed = true;
    return failure;
}

void CommandContext::startRun() { standardOutputFailed = false; }

bool CommandContext::outputFailed() { return standardOutputFailed; }

}  // namespace quibsum

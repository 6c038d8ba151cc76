// `quibsum rates`: which exchange-rate tables are in use, after a refresh when asked.

#include <chrono>
#include <optional>
#include <ostream>
#include <utility>

#include "QuibSum/cli/CommandContext.h"
#include "QuibSum/cli/Commands.h"
#include "QuibSum/cli/TerminalText.h"
#include "QuibSum/common/CommandText.h"
#include "QuibSum/common/RateStatus.h"
#include "QuibSumCore/Clock.h"
#include "QuibSumRates/LiveRateStore.h"

namespace quibsum {

namespace {

const char* const ratesHelp = R"(Usage: quibsum rates [OPTION]...
Tell which exchange-rate tables are in use and when each was published.

      --refresh          download both tables now and tell which changed
  -h, --help             display this help and exit
)";

const char* const ratesHelpVi = R"(Cách dùng: quibsum rates [TÙY_CHỌN]...
Cho biết bảng tỷ giá nào đang được dùng và mỗi bảng được công bố khi nào.

      --refresh          tải cả hai bảng ngay và cho biết bảng nào đã đổi
  -h, --help             hiện trợ giúp này rồi thoát
)";

// Downloads both tables now and says what became of each. Success while something new is in
// force and saved, or nothing failed.
int refreshNow(LiveRateStore& store, std::ostream& out) {
    const auto before = store.snapshot();
    RefreshReport report = store.refresh(Clock::system().seconds(), true);
    const auto after = store.snapshot();
    // A table fetched again as it was is no news.
    using State = RefreshReport::Table::State;
    if (report.bank.state == State::updated && !report.bank.saveError && before->vcb == after->vcb &&
        before->vcbIsSeed == after->vcbIsSeed)
        report.bank.state = State::kept;
    if (report.mid.state == State::updated && !report.mid.saveError && before->erapi == after->erapi &&
        before->erapiIsSeed == after->erapiIsSeed)
        report.mid.state = State::kept;
    bool anyUpdated = false;
    bool anyFailed = false;
    for (const auto& [table, name] :
         {std::pair{&report.bank, CommandText::say("Vietcombank table", "bảng Vietcombank")},
          std::pair{&report.mid, CommandText::say("ExchangeRate-API table", "bảng ExchangeRate-API")}}) {
        if (table->state == State::updated && table->saveError) {
            out << CommandText::say("Updated but not saved: ", "Đã cập nhật nhưng chưa lưu: ") << name << ": "
                << TerminalText::printable(*table->saveError) << '\n';
            anyFailed = true;
        } else if (table->state == State::updated) {
            out << CommandText::say("Updated: ", "Đã cập nhật: ") << name << '\n';
            anyUpdated = true;
        } else if (table->state == State::failed) {
            out << CommandText::say("Not updated: ", "Chưa cập nhật: ") << name << ": "
                << TerminalText::printable(table->problem) << '\n';
            anyFailed = true;
        } else {
            out << CommandText::say("Unchanged: ", "Không đổi: ") << name
                << (table->problem.empty() ? "" : ": " + table->problem) << '\n';
        }
    }
    const bool saveFailed = report.bank.saveError || report.mid.saveError;
    return saveFailed || (anyFailed && !anyUpdated) ? CommandContext::failure : CommandContext::success;
}

}  // namespace

int Commands::rates(std::string_view name, const std::vector<std::string>& words, const CommandLineIO& io) {
    CommandContext command(name, CommandText::say(ratesHelp, ratesHelpVi), io);
    if (auto ended = command.parse(words, CommandOptions::refresh)) return *ended;
    const auto& operands = command.options().operands;
    if (!operands.empty())
        return command.usage(CommandText::say("extra operand '%1'", "đối số thừa '%1'", {operands.front()}));

    std::optional<CommandRates> rates;
    try {
        rates.emplace(CommandRates::live());
    } catch (const std::exception& e) {
        return command.fail(CommandText::say("cannot load the exchange rates: %1", "không nạp được tỷ giá: %1",
                                             {TerminalText::printable(e.what())}));
    }
    const auto& store = rates->liveStore();
    const int status = command.options().refreshNow ? refreshNow(*store, io.out) : CommandContext::success;
    io.out << RateStatus::tablesText(*store->snapshot()).toStdString() << '\n';
    return status;
}

}  // namespace quibsum

#include "QuibSum/cli/SheetReport.h"
#include "QuibSum/common/CommandText.h"

#include <QCoreApplication>

#include <algorithm>
#include <ostream>
#include <vector>

#include "QuibSum/cli/TerminalText.h"
#include "QuibSum/storage/JsonText.h"
#include "QuibSumCore/StreamingSheet.h"

namespace quibsum {

namespace {

// Lines wider than this are not padded to line up the results: one long line would otherwise
// push the whole column off the screen.
constexpr std::size_t maxAlignedTextWidth = 60;
constexpr std::size_t gutter = 2;

std::string errorText(std::string_view message) { return CommandText::say("error: ", "lỗi: ") + std::string(message); }

std::string totalText(const PageTotal& total) {
    if (const auto* value = std::get_if<PageTotal::Value>(&total.payload)) return value->display;
    if (const auto* error = std::get_if<PageTotal::Error>(&total.payload)) return errorText(error->message);
    if (std::holds_alternative<PageTotal::Incompatible>(total.payload))
        return errorText(CommandText::say("Incompatible page units", "Đơn vị trong trang không tương thích"));
    return {};
}

}  // namespace

PageTotal SheetReport::evaluate(std::string_view text, Engine engine,
                                const std::function<void(std::size_t, std::string_view, const LineResult&)>& visit) {
    StreamingSheet sheet(std::move(engine));
    std::size_t start = 0;
    for (std::size_t index = 0;; ++index) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::string_view line = text.substr(start, end - start);
        visit(index, line, sheet.add(line));
        if (end == text.size()) break;
        start = end + 1;
    }
    return sheet.total();
}

std::string SheetReport::resultText(const LineResult& result) {
    if (const auto* value = result.asValue()) return value->display;
    if (const auto* error = result.asError()) return errorText(error->message);
    return {};
}

void SheetReport::writePlain(std::string_view text, Engine engine, std::ostream& out) {
    // The result column lines up only once every line is known: keep each line's column text,
    // end to end in one string, and find the line's own text again in `text` when printing.
    std::string columns;
    std::vector<std::size_t> columnEnds;
    std::size_t textWidth = 0;
    std::size_t columnWidth = 0;
    const PageTotal pageTotal =
        evaluate(text, std::move(engine), [&](std::size_t, std::string_view line, const LineResult& r) {
            const std::string column = TerminalText::printable(resultText(r));
            columns += column;
            columnEnds.push_back(columns.size());
            if (std::size_t w = TerminalText::width(TerminalText::printable(line)); w <= maxAlignedTextWidth)
                textWidth = std::max(textWidth, w);
            columnWidth = std::max(columnWidth, TerminalText::width(column));
        });
    const std::string label = CommandText::say("Total:", "Tổng:");
    const std::string total = TerminalText::printable(totalText(pageTotal));
    textWidth = std::max(textWidth, TerminalText::width(label));
    columnWidth = std::max(columnWidth, TerminalText::width(total));

    auto row = [&](const std::string& text, const std::string& column) {
        if (column.empty()) return text + '\n';
        if (TerminalText::width(text) > textWidth) return text + std::string(gutter, ' ') + column + '\n';
        return TerminalText::padRight(text, textWidth) + std::string(gutter, ' ') +
               TerminalText::padLeft(column, columnWidth) + '\n';
    };

    std::size_t start = 0;
    std::size_t columnStart = 0;
    for (std::size_t columnEnd : columnEnds) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        out << row(TerminalText::printable(text.substr(start, end - start)),
                   columns.substr(columnStart, columnEnd - columnStart));
        start = end + 1;
        columnStart = columnEnd;
    }
    std::string rule;
    for (std::size_t i = 0; i < textWidth + gutter + columnWidth; ++i) rule += "─";
    out << rule << '\n' << row(label, total.empty() ? std::string() : total);
}

void SheetReport::writeJson(std::string_view text, Engine engine, std::ostream& out) {
    out << "{\"lines\":[";
    const PageTotal total =
        evaluate(text, std::move(engine), [&](std::size_t index, std::string_view, const LineResult& result) {
            JsonText json;
            json.beginObject();
            if (const auto* value = result.asValue()) {
                json.key("result")
                    .string("value")
                    .key("display")
                    .string(value->display)
                    .key("value")
                    .string(value->quantity.value.toString())
                    .key("unit");
                if (value->quantity.unit)
                    json.string(value->quantity.unit->symbol);
                else
                    json.null();
            } else if (const auto* error = result.asError()) {
                json.key("result").string("error").key("message").string(error->message);
            } else {
                json.key("result").string("note");
            }
            json.endObject();
            if (index > 0) out << ',';
            out << json.text();
        });
    JsonText json;
    json.beginObject();
    if (const auto* value = std::get_if<PageTotal::Value>(&total.payload)) {
        json.key("result").string("value").key("display").string(value->display).key("count").integer(value->count);
    } else if (const auto* error = std::get_if<PageTotal::Error>(&total.payload)) {
        json.key("result").string("error").key("message").string(error->message);
    } else if (std::holds_alternative<PageTotal::Incompatible>(total.payload)) {
        json.key("result").string("incompatible");
    } else {
        json.key("result").string("empty");
    }
    json.endObject();
    out << "],\"total\":" << json.text() << "}\n";
}

}  // namespace quibsum

#include "QuibSum/cli/SheetReport.h"

#include <QCoreApplication>

#include <algorithm>

#include "QuibSum/cli/TerminalText.h"
#include "QuibSum/storage/JsonText.h"
#include "QuibSumCore/Sheet.h"

namespace quibsum {

namespace {

// Lines wider than this are not padded to line up the results: one long line would otherwise
// push the whole column off the screen.
constexpr std::size_t maxAlignedTextWidth = 60;
constexpr std::size_t gutter = 2;

std::string tr(const char* text) {
    return QCoreApplication::translate("SheetReport", text).toStdString();
}

std::string errorText(std::string_view message) {
    return tr("error: ") + std::string(message);
}

std::string totalText(const PageTotal& total) {
    if (const auto* value = std::get_if<PageTotal::Value>(&total.payload)) return value->display;
    if (const auto* error = std::get_if<PageTotal::Error>(&total.payload)) return errorText(error->message);
    if (std::holds_alternative<PageTotal::Incompatible>(total.payload)) return errorText(tr("Incompatible page units"));
    return {};
}

}  // namespace

SheetReport SheetReport::evaluate(std::string_view text, Engine engine) {
    Sheet sheet(std::move(engine));
    sheet.setText(text);
    return SheetReport{sheet.lines(), sheet.results(), sheet.total()};
}

std::string SheetReport::resultText(const LineResult& result) {
    if (const auto* value = result.asValue()) return value->display;
    if (const auto* error = result.asError()) return errorText(error->message);
    return {};
}

std::string SheetReport::plain() const {
    std::vector<std::string> texts;
    std::vector<std::string> columns;
    texts.reserve(lines.size());
    columns.reserve(lines.size());
    std::size_t textWidth = 0;
    std::size_t columnWidth = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        texts.push_back(TerminalText::printable(lines[i]));
        columns.push_back(TerminalText::printable(resultText(results[i])));
        if (std::size_t w = TerminalText::width(texts.back()); w <= maxAlignedTextWidth) textWidth = std::max(textWidth, w);
        columnWidth = std::max(columnWidth, TerminalText::width(columns.back()));
    }
    const std::string label = tr("Total:");
    const std::string total = TerminalText::printable(totalText(this->total));
    textWidth = std::max(textWidth, TerminalText::width(label));
    columnWidth = std::max(columnWidth, TerminalText::width(total));

    auto row = [&](const std::string& text, const std::string& column) {
        if (column.empty()) return text + '\n';
        if (TerminalText::width(text) > textWidth) return text + std::string(gutter, ' ') + column + '\n';
        return TerminalText::padRight(text, textWidth) + std::string(gutter, ' ') +
               TerminalText::padLeft(column, columnWidth) + '\n';
    };

    std::string out;
    for (std::size_t i = 0; i < texts.size(); ++i) out += row(texts[i], columns[i]);
    std::string rule;
    for (std::size_t i = 0; i < textWidth + gutter + columnWidth; ++i) rule += "─";
    out += rule + '\n';
    out += row(label, total.empty() ? std::string() : total);
    return out;
}

std::string SheetReport::json() const {
    JsonText json;
    json.beginObject().key("lines").beginArray();
    for (const LineResult& result : results) {
        json.beginObject();
        if (const auto* value = result.asValue()) {
            json.key("result").string("value")
                .key("display").string(value->display)
                .key("value").string(value->quantity.value.toString())
                .key("unit");
            if (value->quantity.unit) json.string(value->quantity.unit->symbol);
            else json.null();
        } else if (const auto* error = result.asError()) {
            json.key("result").string("error").key("message").string(error->message);
        } else {
            json.key("result").string("note");
        }
        json.endObject();
    }
    json.endArray().key("total").beginObject();
    if (const auto* value = std::get_if<PageTotal::Value>(&total.payload)) {
        json.key("result").string("value").key("display").string(value->display).key("count").integer(value->count);
    } else if (const auto* error = std::get_if<PageTotal::Error>(&total.payload)) {
        json.key("result").string("error").key("message").string(error->message);
    } else if (std::holds_alternative<PageTotal::Incompatible>(total.payload)) {
        json.key("result").string("incompatible");
    } else {
        json.key("result").string("empty");
    }
    json.endObject().endObject();
    return json.text() + '\n';
}

}  // namespace quibsum

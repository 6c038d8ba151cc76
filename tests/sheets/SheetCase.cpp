#include "tests/sheets/SheetCase.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace quibsum::testing {
namespace {

std::vector<std::string> readLines(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw std::runtime_error(file.string() + ": cannot be read");
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
    }
    return lines;
}

[[noreturn]] void fail(const std::filesystem::path& file, std::size_t lineNumber, const std::string& what) {
    throw std::runtime_error(file.string() + ":" + std::to_string(lineNumber) + ": " + what);
}

// Reads the "%" lines at the top into `c`; returns the index of the first other line.
std::size_t readHeader(const std::filesystem::path& file, const std::vector<std::string>& lines, SheetCase& c) {
    std::size_t at = 0;
    for (; at < lines.size() && lines[at].starts_with('%'); ++at) {
        const std::string& line = lines[at];
        const auto colon = line.find(':');
        if (colon == std::string::npos) continue;
        std::string key = line.substr(1, colon - 1);
        key.erase(0, key.find_first_not_of(' '));
        std::string value = line.substr(colon + 1);
        value.erase(0, value.find_first_not_of(' '));
        value.erase(value.find_last_not_of(' ') + 1);
        if (key == "style") {
            if (value != "en" && value != "vi") fail(file, at + 1, "style is en or vi, not '" + value + "'");
            c.style = value == "vi" ? NumberStyle::vi : NumberStyle::en;
        } else if (key == "kind") {
            if (value == "transfer")
                c.kind = RateKind::transfer;
            else if (value == "buy")
                c.kind = RateKind::buy;
            else if (value == "sell")
                c.kind = RateKind::sell;
            else if (value == "mid")
                c.kind = RateKind::mid;
            else
                fail(file, at + 1, "kind is transfer, buy, sell or mid, not '" + value + "'");
        } else if (key == "rates") {
            if (value == "test")
                c.rates = SheetCase::Rates::test;
            else if (value == "seed")
                c.rates = SheetCase::Rates::seed;
            else if (value == "none")
                c.rates = SheetCase::Rates::none;
            else
                fail(file, at + 1, "rates are test, seed or none, not '" + value + "'");
        }
    }
    return at;
}

// Reads the results column and the total line from lines [from, end).
void readExpected(const std::filesystem::path& file, const std::vector<std::string>& lines, std::size_t from,
                  SheetCase& c) {
    std::size_t end = lines.size();
    while (end > from && lines[end - 1].empty()) --end;  // trailing blank lines of the file
    if (end == from || !lines[end - 1].starts_with("total: ")) fail(file, end, "the last line must be \"total: …\"");
    c.expected.assign(lines.begin() + static_cast<std::ptrdiff_t>(from),
                      lines.begin() + static_cast<std::ptrdiff_t>(end - 1));
    c.expectedTotal = lines[end - 1].substr(7);
    if (c.expected.size() != c.lines.size())
        fail(file, end,
             std::to_string(c.lines.size()) + " sheet lines but " + std::to_string(c.expected.size()) +
                 " expected results");
}

}  // namespace

SheetCase SheetCase::readTest(const std::filesystem::path& file) {
    const auto lines = readLines(file);
    SheetCase c;
    c.name = file.stem().string();
    const std::size_t first = readHeader(file, lines, c);
    std::size_t separator = first;
    while (separator < lines.size() && lines[separator] != "----") ++separator;
    if (separator == lines.size()) fail(file, lines.size(), "no \"----\" line after the sheet");
    c.lines.assign(lines.begin() + static_cast<std::ptrdiff_t>(first),
                   lines.begin() + static_cast<std::ptrdiff_t>(separator));
    readExpected(file, lines, separator + 1, c);
    return c;
}

SheetCase SheetCase::readExample(const std::filesystem::path& sheet, const std::filesystem::path& expected) {
    SheetCase c;
    c.name = sheet.stem().string();
    c.lines = readLines(sheet);
    const auto lines = readLines(expected);
    readExpected(expected, lines, readHeader(expected, lines, c), c);
    return c;
}

}  // namespace quibsum::testing

// Every sheet of tests/sheets/*.test and every example sheet of examples/ with its expected
// results column and total (SheetCase.h describes the files), evaluated two ways: the whole
// text at once, and typed into an empty sheet a line and a character at a time. Both must
// show exactly what the file expects.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "QuibSumCore/FixedRateStore.h"
#include "QuibSumCore/Sheet.h"
#include "QuibSumCore/Utf8.h"
#include "QuibSumRates/RateCache.h"
#include "tests/sheets/SheetCase.h"
#include "tests/support/TestRates.h"

namespace quibsum::testing {
namespace {

namespace fs = std::filesystem;

struct SheetFile {
    fs::path sheet;
    fs::path expected;  // empty for a .test file, which holds both
};

std::vector<SheetFile> sheetFiles() {
    std::vector<SheetFile> files;
    for (const auto& entry : fs::directory_iterator(QUIBSUM_SHEET_CASES))
        if (entry.path().extension() == ".test") files.push_back({entry.path(), {}});
    for (const auto& entry : fs::directory_iterator(QUIBSUM_EXAMPLES)) {
        if (entry.path().extension() != ".txt") continue;
        fs::path expected = entry.path();
        files.push_back({entry.path(), expected.replace_extension(".expected")});
    }
    std::sort(files.begin(), files.end(), [](const auto& a, const auto& b) { return a.sheet < b.sheet; });
    return files;
}

std::string shownResult(const LineResult& r) {
    if (auto v = r.asValue()) return v->display;
    if (auto e = r.asError()) return "error: " + e->message;
    return "";
}

std::string shownTotal(const PageTotal& t) {
    if (auto v = std::get_if<PageTotal::Value>(&t.payload)) return v->display + " (" + std::to_string(v->count) + ")";
    if (auto e = std::get_if<PageTotal::Error>(&t.payload)) return "error: " + e->message;
    if (std::holds_alternative<PageTotal::Incompatible>(t.payload)) return "incompatible";
    return "empty";
}

Engine engineFor(const SheetCase& c) {
    std::shared_ptr<const RateStore> rates;
    switch (c.rates) {
        case SheetCase::Rates::test:
            rates = testRates();
            break;
        case SheetCase::Rates::seed:
            rates = std::make_shared<FixedRateStore>(RateCache::seed());
            break;
        case SheetCase::Rates::none:
            rates = noRates();
            break;
    }
    return Engine(rates, c.style, c.kind);
}

// Every difference between the sheet and the case, one line each; empty when they agree.
std::string differences(const SheetCase& c, const Sheet& sheet) {
    std::ostringstream out;
    if (sheet.results().size() != c.lines.size())
        out << "  the sheet has " << sheet.results().size() << " lines, the case " << c.lines.size() << "\n";
    for (std::size_t i = 0; i < c.lines.size() && i < sheet.results().size(); ++i) {
        const std::string got = shownResult(sheet.results()[i]);
        if (got != c.expected[i])
            out << "  line " << i + 1 << ": " << c.lines[i] << "\n      expected: " << c.expected[i]
                << "\n      got:      " << got << "\n";
    }
    const std::string total = shownTotal(sheet.total());
    if (total != c.expectedTotal)
        out << "  total\n      expected: " << c.expectedTotal << "\n      got:      " << total << "\n";
    return out.str();
}

std::string joined(const std::vector<std::string>& lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) text += (i ? "\n" : "") + lines[i];
    return text;
}

class SheetFileTest : public ::testing::TestWithParam<SheetFile> {
protected:
    SheetCase read() const {
        const SheetFile& f = GetParam();
        return f.expected.empty() ? SheetCase::readTest(f.sheet) : SheetCase::readExample(f.sheet, f.expected);
    }
};

TEST_P(SheetFileTest, WholeText) {
    const SheetCase c = read();
    Sheet sheet(engineFor(c));
    sheet.setText(joined(c.lines));
    const std::string diff = differences(c, sheet);
    EXPECT_TRUE(diff.empty()) << GetParam().sheet.string() << ", set as a whole:\n" << diff;
}

TEST_P(SheetFileTest, TypedCharacterByCharacter) {
    const SheetCase c = read();
    Sheet sheet(engineFor(c));
    for (std::size_t i = 0; i < c.lines.size(); ++i) {
        sheet.update(i, i, {""});
        const std::string& line = c.lines[i];
        for (std::size_t at = 0; at < line.size();) {
            utf8::decode(line, at);  // moves past one scalar
            sheet.update(i, i + 1, {line.substr(0, at)});
        }
    }
    const std::string diff = differences(c, sheet);
    EXPECT_TRUE(diff.empty()) << GetParam().sheet.string() << ", typed:\n" << diff;
}

std::string testName(const ::testing::TestParamInfo<SheetFile>& info) {
    std::string name = info.param.sheet.parent_path().filename().string() + "_" + info.param.sheet.stem().string();
    for (char& ch : name)
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(Files, SheetFileTest, ::testing::ValuesIn(sheetFiles()), testName);

}  // namespace
}  // namespace quibsum::testing

#pragma once
// SheetCase: one sheet and the results column it must show, read from a data file.
//
// A file of tests/sheets/*.test holds, in order:
//   - header lines starting with "%": "% style: en|vi", "% kind: transfer|buy|sell|mid" (the
//     default VND rate), "% rates: test|seed|none" (the fixed rates of TestRates.h, the rates
//     built into the program, or none); any other "%" line is a comment;
//   - the sheet's lines, as typed;
//   - a line "----";
//   - one line per sheet line: the exact text shown beside it, "error: <message>", or nothing
//     for a line that shows nothing;
//   - "total: <text> (<counted lines>)", "total: error: <message>", "total: empty" or
//     "total: incompatible".
// An example sheet of examples/ keeps its text apart: NAME.txt is the sheet and NAME.expected
// holds the header, the column and the total, without the "----".
// Defaults: style en, kind transfer, rates test.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "QuibSumCore/NumberStyle.h"
#include "QuibSumCore/Rate.h"

namespace quibsum::testing {

struct SheetCase {
    enum class Rates { test, seed, none };

    std::string name;
    NumberStyle style = NumberStyle::en;
    RateKind kind = RateKind::transfer;
    Rates rates = Rates::test;
    std::vector<std::string> lines;
    std::vector<std::string> expected;  // one per line
    std::string expectedTotal;          // after "total: "

    // Throws std::runtime_error naming the file and what is wrong with it.
    static SheetCase readTest(const std::filesystem::path& file);
    static SheetCase readExample(const std::filesystem::path& sheet, const std::filesystem::path& expected);
};

}  // namespace quibsum::testing

// Columns that text takes in a terminal, which the sheet's results column is aligned by.

#include "QuibSum/cli/TerminalText.h"

#include <gtest/gtest.h>

namespace quibsum {
namespace {

TEST(TerminalTextTest, WidthCountsColumnsNotBytes) {
    struct Case {
        const char* text;
        std::size_t columns;
    };
    const Case cases[] = {
        {"", 0},
        {"Rent: 8,500,000 VND", 19},
        {"a\tb\x7f", 4},                  // control characters take a column each
        {"ti\xe1\xba\xbfn", 4},           // "tiến", precomposed
        {"tie\xcc\x82\xcc\x81n", 4},      // "tiến" with combining marks
        {"\xe6\x97\xa5\xe6\x9c\xac", 4},  // two wide CJK characters
        {"\xef\xbc\xa1", 2},              // a fullwidth A
        {"a\xe2\x80\x8b"
         "b",
         2},                  // a zero-width space is a format character
        {"\xe2\x82\xab", 1},  // the dong sign
        {"x\xff"
         "y",
         3},                              // an ill-formed byte prints as one replacement
        {"\xe2\x94\x80\xe2\x94\x80", 2},  // box drawing, as in the total's rule
    };
    for (const Case& c : cases) EXPECT_EQ(TerminalText::width(c.text), c.columns) << c.text;
}

TEST(TerminalTextTest, PrintableReplacesWhatWouldMoveTheCursor) {
    struct Case {
        const char* text;
        const char* printed;
    };
    const Case cases[] = {
        {"Rent: 8,500,000 VND", "Rent: 8,500,000 VND"},
        {"a\tb\nc\rd\x1b[2Je\x7f", "a b c d [2Je "},
        {"x\xc2\x85y\xc2\xa0z", "x y\xc2\xa0z"},  // NEL goes, a no-break space stays
        {"1\xe2\x80\xa8"
         "2\xe2\x80\xa9"
         "3",
         "1 2 3"},                             // line and paragraph separators
        {"5 \xe2\x82\xab", "5 \xe2\x82\xab"},  // the dong sign stays
        {"\xc2", "\xc2"},                      // a lone lead byte is left as it is
    };
    for (const Case& c : cases) EXPECT_EQ(TerminalText::printable(c.text), c.printed) << c.text;
}

TEST(TerminalTextTest, PaddingUsesColumns) {
    EXPECT_EQ(TerminalText::padLeft("\xe6\x97\xa5", 4), "  \xe6\x97\xa5");
    EXPECT_EQ(TerminalText::padRight("ab", 4), "ab  ");
    EXPECT_EQ(TerminalText::padRight("abcdef", 4), "abcdef");
}

}  // namespace
}  // namespace quibsum

// What a sheet makes of the text of its lines before any calculation: where one line ends and
// the next begins, and whether a line is blank, a heading or another line.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "QuibSumCore/LineEnds.h"
#include "QuibSumCore/LineShape.h"

using namespace quibsum;

TEST(LineEnds, EveryLineEndBecomesALineFeed) {
    struct Row {
        std::u16string text;
        std::u16string expected;
    };
    const std::vector<Row> rows = {
        {u"", u""},
        {u"a\nb", u"a\nb"},
        {u"a\r\nb\rc", u"a\nb\nc"},        // a pair, then a lone carriage return
        {u"a\r\r\nb", u"a\n\nb"},          // a lone one before a pair: two line ends
        {u"a\n\rb", u"a\n\nb"},            // a line feed then a carriage return: two as well
        {u"a\u2028b\u2029c", u"a\nb\nc"},  // the Unicode line and paragraph separators
        {u"\r\u2028\r", u"\n\n\n"},
        {u"a\r", u"a\n"},
        {u"\u0085a\u000Bb\u000Cc", u"\u0085a\u000Bb\u000Cc"},  // other breaks stay inside the line
    };
    for (const Row& row : rows) {
        EXPECT_EQ(LineEnds::withLineFeeds(row.text), row.expected) << std::string(row.text.begin(), row.text.end());
    }
}

TEST(LineShape, AHeadingMayFollowAnyWhiteSpace) {
    struct Row {
        const char* line;
        LineShape shape;
    };
    const std::vector<Row> rows = {
        {"", LineShape::blank},
        {" \t ", LineShape::blank},
        {"\xC2\xA0", LineShape::blank},                  // a no-break space
        {"\xE3\x80\x80\xE2\x80\x83", LineShape::blank},  // ideographic and em spaces
        {"# Food", LineShape::heading},
        {"  \t# Food", LineShape::heading},
        {"\xC2\xA0# Food", LineShape::heading},
        {"\xE2\x80\xAF\xE3\x80\x80#", LineShape::heading},  // narrow no-break and ideographic
        {"\x0B\x0C\xC2\x85#", LineShape::heading},          // vertical tab, form feed, next line
        {"5 # five", LineShape::other},
        {"\xE2\x80\x8B# Food", LineShape::other},  // a zero-width space is not white space
        {"\xEF\xBC\x83 Food", LineShape::other},   // nor is a full-width number sign "#"
        {"\xFF# Food", LineShape::other},          // ill-formed UTF-8 is a character
        {"// note", LineShape::other},
    };
    for (const Row& row : rows) EXPECT_EQ(lineShapeOf(row.line), row.shape) << row.line;
}

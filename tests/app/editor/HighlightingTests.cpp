// Colours read back from the text layout: which role each character of a line gets, with
// error over variable over label over token, headings alone, and long lines left plain.

#include <QApplication>
#include <QScrollBar>
#include <QTextLayout>

#include "QuibSum/editor/SyntaxHighlighter.h"
#include "tests/app/editor/EditorTestSupport.h"

namespace quibsum {
namespace {

using testing::shownEditor;

const std::vector<std::pair<PaletteRole, char>> roleLetters = {
    {PaletteRole::keyword, 'k'}, {PaletteRole::unit, 'u'},    {PaletteRole::currency, 'c'},
    {PaletteRole::heading, 'h'}, {PaletteRole::comment, 'm'}, {PaletteRole::variable, 'v'},
    {PaletteRole::error, 'e'},
};

// One letter per UTF-16 unit of the line: the role its colour belongs to, "." for plain text.
std::string roles(const EditorView& editor, int line, const EditorTheme& theme) {
    const QTextBlock block = editor.textView()->document()->findBlockByNumber(line);
    std::string out(static_cast<std::size_t>(block.length() - 1), '.');
    for (const QTextLayout::FormatRange& r : block.layout()->formats()) {
        char letter = '?';
        for (const auto& [role, l] : roleLetters)
            if (r.format.foreground().color() == theme.color(role)) letter = l;
        for (int i = r.start; i < r.start + r.length; ++i) out[static_cast<std::size_t>(i)] = letter;
    }
    return out;
}

TEST(Highlighting, RolesOfEachRule) {
    struct Row {
        const char* line;
        const char* roles;
    };
    // Each line is checked on its own sheet, after a definition of the variables it names.
    const std::vector<Row> rows = {
        {"  # Food 5 km", "hhhhhhhhhhhhh"},          // a heading: one colour, nothing inside
        {"Rent: 500 USD", "mmmmm.....ccc"},          // the label, then the currency
        {"10 km + 5 m to cm", "...uu.k...u.kk.uu"},  // units and operators
        {"rent * 2 // twice", "vvvv.k...mmmmmmmm"},  // a variable and a comment
        {"Rent: rent * 2", "mmmmm.vvvv.k.."},        // a variable inside a label
        {"rent / 0", "eeeeeeee"},                    // an error line, its variable included
        {"20% of 50", "....kk..."},
        {"tiền nhà + 1", "vvvvvvvv.k.."},  // UTF-16 ranges
    };
    const EditorTheme theme(false);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        auto editor = shownEditor(QStringLiteral("rent = 5\ntiền nhà = 1\n") + QString::fromUtf8(row.line));
        EXPECT_EQ(roles(*editor, 2, theme), row.roles);
    }
}

TEST(Highlighting, AHeadingTakesTheHeadingFont) {
    auto editor = shownEditor(QStringLiteral("  # Food 5 km"));
    const auto formats = editor->textView()->document()->firstBlock().layout()->formats();
    ASSERT_EQ(formats.size(), 1);
    EXPECT_TRUE(formats[0].format.font().bold());
    EXPECT_EQ(formats[0].length, 13);
}

TEST(Highlighting, AHeadingIsAHeadingAfterAnyWhiteSpaceTheSheetSkips) {
    // The sheet ends a block at these lines; the colours must show them as headings too.
    const EditorTheme theme(false);
    for (const char* line : {"\xC2\xA0# Food", "\xE3\x80\x80# Food", "\xE2\x80\x83# Food", "\t# Food"}) {
        SCOPED_TRACE(line);
        auto editor = shownEditor(QString::fromUtf8(line));
        EXPECT_EQ(roles(*editor, 0, theme), "hhhhhhh");
    }
    // A zero-width space is not white space: the line is no heading, and "#" starts a comment.
    auto editor = shownEditor(QString::fromUtf8("\xE2\x80\x8B# Food"));
    EXPECT_EQ(roles(*editor, 0, theme), ".mmmmmm");
}

TEST(Highlighting, LinesLongerThanTenThousandUnitsStayPlain) {
    const QString styled = QStringLiteral("5 km") + QString(9996, u' ');
    const QString plain = styled + u' ';
    auto editor = shownEditor(styled + u'\n' + plain);
    EXPECT_EQ(editor->textView()->document()->findBlockByNumber(0).length() - 1, 10000);
    EXPECT_FALSE(editor->textView()->document()->findBlockByNumber(0).layout()->formats().isEmpty());
    EXPECT_TRUE(editor->textView()->document()->findBlockByNumber(1).layout()->formats().isEmpty());
}

TEST(Highlighting, FollowsTheAppearanceAndTheEdits) {
    auto editor = shownEditor(QStringLiteral("x = 5\nx km"));
    const EditorTheme light(false), dark(true);
    EXPECT_EQ(roles(*editor, 1, light), "v.uu");
    editor->setTheme(dark);
    EXPECT_EQ(roles(*editor, 1, dark), "v.uu");
    EXPECT_NE(light.color(PaletteRole::variable), dark.color(PaletteRole::variable));

    // Line 0 stops assigning x: line 1, untouched, no longer shows a variable.
    QTextCursor c(editor->textView()->document());
    c.deleteChar();
    c.insertText(QStringLiteral("y"));
    EXPECT_NE(roles(*editor, 1, dark)[0], 'v');
    c.deletePreviousChar();
    c.insertText(QStringLiteral("x"));
    EXPECT_EQ(roles(*editor, 1, dark), "v.uu");
}

TEST(Highlighting, OnlyLinesInViewAreStyled) {
    auto editor = shownEditor(testing::lines(500, QStringLiteral("5 km")));
    const auto [first, last] = editor->textView()->visibleLines();
    EXPECT_EQ(first, 0);
    EXPECT_LT(last, 60);
    EXPECT_FALSE(editor->textView()->document()->findBlockByNumber(400).layout()->formats().size());
    editor->textView()->verticalScrollBar()->setValue(380);
    QApplication::processEvents();
    const auto [top, bottom] = editor->textView()->visibleLines();
    EXPECT_GE(top, 300);
    // The lines above the view were never in it, and stay unstyled.
    EXPECT_TRUE(editor->textView()->document()->findBlockByNumber(top - 1).layout()->formats().isEmpty());
    EXPECT_EQ(roles(*editor, top, EditorTheme(false)), "..uu");
}

}  // namespace
}  // namespace quibsum

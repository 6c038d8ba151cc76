#pragma once
// SyntaxHighlighter: colours the lines of a sheet as the lexer and the sheet read them. The
// colours are layout formats of the text blocks: the text itself, the undo history and the
// document's modification state never change. Only the lines asked for are styled, and a line
// whose formats come out as they already were is left alone, so a pass over the visible lines
// costs no layout when nothing changed.
//
// Where rules overlap: an error line over a variable, a variable over a label, a label over a
// token's colour. A heading line takes the heading colour and font alone.

#include <QList>
#include <QStringView>
#include <QTextLayout>
#include <functional>
#include <set>
#include <span>
#include <vector>

#include "QuibSum/editor/EditorTheme.h"
#include "QuibSumCore/NumberStyle.h"
#include "QuibSumCore/Token.h"

class QTextDocument;

namespace quibsum {

class SyntaxHighlighter {
public:
    // Longer lines keep plain formatting (the engine does not calculate them either).
    static constexpr int maxStyledLength = 10000;

    struct LineState {
        bool error = false;
        std::span<const TextRange> variables;  // UTF-16 ranges within the line
    };
    using LineStates = std::function<LineState(int line)>;

    explicit SyntaxHighlighter(QTextDocument* document) : document_(document) {}

    // The formats of one line, relative to its start.
    static QList<QTextLayout::FormatRange> formats(QStringView line, NumberStyle style, const EditorTheme& theme,
                                                   const LineState& state);

    // Styles the given lines (indices of text blocks; others are ignored) and records in
    // `highlighted` the ones styled in full (not too long).
    void highlight(const std::vector<int>& lines, NumberStyle style, const EditorTheme& theme, const LineStates& states,
                   std::set<int>& highlighted);

    // True while formats are being applied: the document then reports changes that are not
    // edits of its text.
    bool isApplying() const { return applying_; }

private:
    QTextDocument* document_;
    bool applying_ = false;
};

}  // namespace quibsum

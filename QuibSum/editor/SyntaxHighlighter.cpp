#include "QuibSum/editor/SyntaxHighlighter.h"

#include <QTextBlock>
#include <QTextDocument>
#include <cstdint>
#include <string>

#include "QuibSumCore/Lexer.h"
#include "QuibSumCore/LineShape.h"

namespace quibsum {

namespace {

// The role of each UTF-16 unit; `none` keeps the editor's own text colour.
enum class Paint : std::uint8_t { none, keyword, unit, currency, comment, variable, error };

PaletteRole roleOf(Paint paint) {
    switch (paint) {
        case Paint::keyword:
            return PaletteRole::keyword;
        case Paint::unit:
            return PaletteRole::unit;
        case Paint::currency:
            return PaletteRole::currency;
        case Paint::comment:
            return PaletteRole::comment;
        case Paint::variable:
            return PaletteRole::variable;
        case Paint::error:
            return PaletteRole::error;
        case Paint::none:
            break;
    }
    return PaletteRole::text;
}

void paint(std::vector<Paint>& paints, int from, int to, Paint p) {
    from = std::max(from, 0);
    to = std::min(to, static_cast<int>(paints.size()));
    for (int i = from; i < to; ++i) paints[static_cast<std::size_t>(i)] = p;
}

}  // namespace

QList<QTextLayout::FormatRange> SyntaxHighlighter::formats(QStringView line, NumberStyle style,
                                                           const EditorTheme& theme, const LineState& state) {
    QList<QTextLayout::FormatRange> ranges;
    const int length = static_cast<int>(line.size());
    if (length == 0 || length > maxStyledLength) return ranges;

    const std::string text = line.toUtf8().toStdString();
    if (isHeadingLine(text)) {
        QTextCharFormat heading;
        heading.setForeground(theme.color(PaletteRole::heading));
        heading.setFont(theme.headingFont());
        ranges.append({0, length, heading});
        return ranges;
    }

    std::vector<Paint> paints(static_cast<std::size_t>(length), Paint::none);
    if (state.error) {
        paint(paints, 0, length, Paint::error);
    } else {
        const std::vector<Token> tokens = Lexer(style).tokens(text);
        const Token* colon = nullptr;
        for (const Token& t : tokens) {
            Paint p = Paint::none;
            switch (t.kind.tag()) {
                case Token::Tag::unit:
                    p = Paint::unit;
                    break;
                case Token::Tag::currency:
                    p = Paint::currency;
                    break;
                case Token::Tag::op:
                case Token::Tag::keyword:
                    p = Paint::keyword;
                    break;
                case Token::Tag::comment:
                    p = Paint::comment;
                    break;
                case Token::Tag::colon:
                    if (!colon) colon = &t;
                    break;
                default:
                    break;
            }
            if (p != Paint::none) paint(paints, t.range.location, t.range.end(), p);
        }
        if (colon) paint(paints, 0, colon->range.end(), Paint::comment);
        for (const TextRange& r : state.variables) paint(paints, r.location, r.end(), Paint::variable);
    }

    for (int start = 0; start < length;) {
        int end = start + 1;
        const Paint p = paints[static_cast<std::size_t>(start)];
        while (end < length && paints[static_cast<std::size_t>(end)] == p) ++end;
        if (p != Paint::none) {
            QTextCharFormat format;
            format.setForeground(theme.color(roleOf(p)));
            ranges.append({start, end - start, format});
        }
        start = end;
    }
    return ranges;
}

void SyntaxHighlighter::highlight(const std::vector<int>& lines, NumberStyle style, const EditorTheme& theme,
                                  const LineStates& states, std::set<int>& highlighted) {
    highlighted.clear();
    applying_ = true;
    for (int line : lines) {
        QTextBlock block = document_->findBlockByNumber(line);
        if (!block.isValid()) continue;
        const QString text = block.text();
        QList<QTextLayout::FormatRange> wanted;
        if (text.size() <= maxStyledLength) {
            wanted = formats(text, style, theme, states(line));
            highlighted.insert(line);
        }
        QTextLayout* layout = block.layout();
        if (layout->formats() == wanted) continue;
        layout->setFormats(wanted);
        document_->markContentsDirty(block.position(), block.length());
    }
    applying_ = false;
}

}  // namespace quibsum

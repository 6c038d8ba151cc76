#pragma once
// LineIndexedText: a sheet's text held once, in UTF-8, with where each line begins: about one
// byte per character and four per line, where a text view holds a block, a layout and a copy
// of the text for every line. Its line ends are "\n" (LineEnds). Lines are read back one at a
// time, for painting the lines in view and for evaluating the sheet from first to last.
// A value: one may be read from any thread while nothing changes it.

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace quibsum {

class LineIndexedText {
public:
    // One empty line.
    LineIndexedText();
    // `text` with its line ends made "\n" (a text shared with its caller is not copied for it).
    explicit LineIndexedText(QString text);

    std::size_t lineCount() const { return starts_.size(); }
    // Line `index`'s bytes, without its line feed.
    std::string_view line(std::size_t index) const;
    QString lineText(std::size_t index) const { return QString::fromUtf8(line(index)); }
    // Lines `first` to `last` (inclusive), joined with "\n".
    QString text(std::size_t first, std::size_t last) const;
    // The whole text.
    QString text() const { return text(0, lineCount() - 1); }
    // The most bytes a line holds.
    std::size_t longestLine() const { return longest_; }
    // The text's own bytes plus its line index.
    std::size_t heapBytes() const;

    // `added` follows the text (its first line continues the last line here, as in text + added).
    void append(QStringView added);

private:
    void indexFrom(std::size_t offset);
    std::size_t lineEnd(std::size_t index) const;

    QByteArray bytes_;
    std::vector<std::uint32_t> starts_;  // the byte where each line begins
    std::size_t longest_ = 0;
};

}  // namespace quibsum

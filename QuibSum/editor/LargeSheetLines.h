#pragma once
// LargeSheetLines: the lines of a sheet too large to edit, each with its result beside it, in
// a scroll area that paints only the lines in view. LargeSheetView holds the text and works
// out the results; this area shows what it is given and never changes it.
//
// It scrolls by whole lines (wheel, scroll bar, Page Up/Down, Home/End, the arrows), selects
// whole lines (click, Shift+click, drag, Shift+arrows, Ctrl+A) and copies them (Ctrl+C); a click
// on a result copies it, as in the editor's results column. Main thread only.

#include <QAbstractScrollArea>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

#include "QuibSum/editor/CompactResults.h"
#include "QuibSum/editor/EditorTheme.h"
#include "QuibSum/editor/LineIndexedText.h"
#include "QuibSum/editor/Schedule.h"

namespace quibsum {

class LargeSheetLines : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit LargeSheetLines(std::shared_ptr<const LineIndexedText> text, const EditorTheme& theme = EditorTheme(),
                             QWidget* parent = nullptr);

    // The text to show and the results to show beside it: those of this text, of the lines it
    // began with, or none. The lines in view, the current line and the selection stay where
    // the text still reaches.
    void setText(std::shared_ptr<const LineIndexedText> text, std::shared_ptr<const CompactResults> results);
    void setResults(std::shared_ptr<const CompactResults> results);
    void setTheme(const EditorTheme& theme);
    // Scrolls to the last line and makes it the current one.
    void revealEnd();

    // Copies the selected lines; all of them.
    void copy();
    void selectAll();

    std::size_t lineCount() const { return text_->lineCount(); }
    // A line's result as the column shows it (errors translated); empty for a note or a line
    // without a result yet.
    QString resultText(std::size_t line) const;
    // The lines in view, first and last (clipped to the text).
    std::pair<std::size_t, std::size_t> visibleLines() const;
    // The selected lines, first and last; none without a selection.
    std::optional<std::pair<std::size_t, std::size_t>> selectedLines() const;
    QString selectedText() const;
    // The line whose result "Copied" stands in for now.
    std::optional<std::size_t> copiedLine() const { return copied_; }
    // Where the text and the results are painted, in the viewport's coordinates.
    QRect textArea() const;
    QRect resultsArea() const;
    int lineHeight() const;
    // The line painted at a viewport point's height; none below the last.
    std::optional<std::size_t> lineAt(int y) const;

    void setClipboard(std::function<void(const QString&)> copy) { copy_ = std::move(copy); }
    void setSchedule(Schedule schedule) { schedule_ = std::move(schedule); }

signals:
    // Escape.
    void cancelRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool viewportEvent(QEvent* event) override;

private:
    void updateScrollBars();
    // Makes `line` the current line, in view: the selection reaches it, or is gone.
    void moveCaret(std::size_t line, bool extend);
    void ensureVisible(std::size_t line);
    void copyResult(std::size_t line);
    int resultsWidth() const;

    std::shared_ptr<const LineIndexedText> text_;
    std::shared_ptr<const CompactResults> results_;
    EditorTheme theme_;
    std::optional<std::size_t> anchor_;
    std::size_t caret_ = 0;
    std::optional<std::size_t> copied_;
    std::uint64_t copies_ = 0;
    std::function<void(const QString&)> copy_;
    Schedule schedule_;
};

}  // namespace quibsum

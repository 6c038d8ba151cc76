#pragma once
// LargeSheetView: a sheet too large to edit in the window, shown read-only at a cost of a few
// bytes per line. An editable text view holds a block, a layout and a copy of the text for
// every line (several hundred bytes each, a thousand and more for lines that assign names);
// this view keeps the text once (LineIndexedText) and the results as the text they show
// (CompactResults, worked out on a background thread by the streaming pass `quibsum sheet`
// uses), and shows them in LargeSheetLines, which paints only the lines in view, each with its
// result beside it. Below it, out of the way of its scroll bars, a status line says why the
// sheet is not editable here and what to do instead.
//
// The lines take the keyboard focus for the view (its focus proxy). Its text is never changed
// here: outside changes replace or extend it and are evaluated anew. Main thread only.

#include <QString>
#include <QWidget>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

#include "QuibSum/editor/CompactResults.h"
#include "QuibSum/editor/EditorTheme.h"
#include "QuibSum/editor/LargeSheetLines.h"
#include "QuibSum/editor/LineIndexedText.h"
#include "QuibSum/editor/Schedule.h"
#include "QuibSumCore/Engine.h"
#include "QuibSumCore/PageTotal.h"

class QLabel;

namespace quibsum {

class LargeSheetView : public QWidget {
    Q_OBJECT
public:
    // Up to these sizes a sheet opens in the editor. The editor costs about 0.4 to 2 KB a line
    // (plain values to lines that assign multi-word names, text view, layout and evaluation
    // included) and about 12 bytes a character for long lines, so at these limits a sheet of
    // any content needs 60 to 120 MB resident, with room to spare for editing and its undo
    // history; a sheet typed by hand stays well below them. A larger sheet (a log, a
    // generated column) opens in this view instead, which costs about 10 to 20 bytes a line
    // beyond the text.
    static constexpr qsizetype maxEditableLines = 50000;
    static constexpr qsizetype maxEditableLength = 4 * 1024 * 1024;  // UTF-16 units

    // Whether the editor cannot hold `text`: more lines or characters than above.
    static bool isTooLargeToEdit(QStringView text);

    LargeSheetView(QString text, Engine engine, const EditorTheme& theme = EditorTheme(), QWidget* parent = nullptr);
    ~LargeSheetView() override;

    // The text changed outside the window: shown and evaluated anew (the lines in view stay).
    void replaceText(QString text);
    // Lines added at the end outside the window (`added` follows the text shown).
    void appendText(const QString& added);
    // A new engine (number style, default VND rate): evaluated anew.
    void setEngine(Engine engine);
    // A rate store publishing version `version`: evaluated anew, once per version.
    void applyRateVersion(std::int64_t version);
    // Why else the sheet may only be read (its stored text is not UTF-8), shown before the rest.
    void setReadOnlyReason(const std::optional<QString>& reason);
    // The file the sheet is stored in, named in the advice.
    void setSheetFile(const QString& path);
    void setTheme(const EditorTheme& theme);
    // Scrolls to the last line and makes it the current one.
    void revealEnd() { lines_->revealEnd(); }

    // Copies the selected lines; all of them.
    void copy() { lines_->copy(); }
    void selectAll() { lines_->selectAll(); }

    const LineIndexedText& text() const { return *text_; }
    std::size_t lineCount() const { return text_->lineCount(); }
    // The newest results back, and their total; empty before the first run is back.
    const CompactResults& results() const { return *results_; }
    const PageTotal& pageTotal() const { return results_->total(); }
    // A run is under way: the results shown (if any) are not yet those of the text shown.
    bool isEvaluating() const { return evaluating_; }
    // A line's result as the column shows it (errors translated); empty for a note or before
    // the results are back.
    QString resultText(std::size_t line) const { return lines_->resultText(line); }
    // The lines in view, first and last (clipped to the text).
    std::pair<std::size_t, std::size_t> visibleLines() const { return lines_->visibleLines(); }
    // The selected lines, first and last; none without a selection.
    std::optional<std::pair<std::size_t, std::size_t>> selectedLines() const { return lines_->selectedLines(); }
    QString selectedText() const { return lines_->selectedText(); }
    // The line whose result "Copied" stands in for now.
    std::optional<std::size_t> copiedLine() const { return lines_->copiedLine(); }
    // The scroll area the lines are painted in: its viewport, its scroll bars.
    LargeSheetLines* lines() const { return lines_; }
    // The status line below the lines and its whole text.
    QLabel* status() const { return status_; }
    QString statusText() const { return statusText_; }
    // Where the text and the results are painted, in the coordinates of the lines' viewport.
    QRect textArea() const { return lines_->textArea(); }
    QRect resultsArea() const { return lines_->resultsArea(); }
    int lineHeight() const { return lines_->lineHeight(); }
    // The line painted at a viewport point's height; none below the last.
    std::optional<std::size_t> lineAt(int y) const { return lines_->lineAt(y); }
    // The memory this view holds for the sheet: text, line index and results.
    std::size_t heapBytes() const { return text_->heapBytes() + results_->heapBytes(); }

    void setClipboard(std::function<void(const QString&)> copy) { lines_->setClipboard(std::move(copy)); }
    void setSchedule(Schedule schedule) { lines_->setSchedule(std::move(schedule)); }

signals:
    // The results and the page total of the text shown are back.
    void evaluated();
    // Escape in the lines.
    void cancelRequested();

private:
    void evaluate();
    void applyResults(std::uint64_t run, std::shared_ptr<const CompactResults> results);
    void updateStatus();

    std::shared_ptr<const LineIndexedText> text_;
    std::shared_ptr<const CompactResults> results_;
    std::optional<Engine> engine_;  // never empty: Engine cannot be assigned, only made anew
    EditorTheme theme_;
    LargeSheetLines* lines_;
    QLabel* status_;
    std::optional<QString> readOnlyReason_;
    QString sheetFile_;
    QString statusText_;
    std::optional<std::int64_t> rateVersion_;
    // Each run is numbered; a run that is no longer the newest stops, and its results are dropped.
    std::uint64_t run_ = 0;
    std::shared_ptr<std::atomic<std::uint64_t>> latest_;
    bool evaluating_ = false;
};

}  // namespace quibsum

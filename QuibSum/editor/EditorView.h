#pragma once
// EditorView: one open sheet, typed into and evaluated as it is typed. It owns the text view,
// the results column beside it and the save status line, and keeps the sheet's evaluation
// state; its parts do the rest: TextLoader puts the text into the view, BackgroundEvaluation
// evaluates large sheets, CompletionController offers variable names.
//
// Every change of text becomes the cheapest evaluation that keeps the results right:
// - up to `largeSheetLines` lines, on the main thread, as an edit of the lines it touched, so
//   only those lines and the lines whose inputs changed are analysed again;
// - beyond that (or beyond `largeSheetLength`), the whole text in a fresh sheet on a
//   background thread, whose results are shown once they are back, unless the text changed
//   again meanwhile.
// Only the lines in view (and those just edited) are recoloured, and only the result rows that
// changed or moved are redrawn, so a keystroke costs the same in a long sheet as in a short
// one. A sheet too large to edit at all (LargeSheetView::isTooLargeToEdit) is shown in a
// LargeSheetView instead. Main thread only.

#include <QLabel>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <vector>

#include "QuibSum/editor/EditorEdit.h"
#include "QuibSum/editor/EditorTheme.h"
#include "QuibSum/editor/SyntaxHighlighter.h"
#include "QuibSum/editor/TextLoader.h"
#include "QuibSumCore/Engine.h"
#include "QuibSumCore/PageTotal.h"
#include "QuibSumCore/Sheet.h"

namespace quibsum {

class BackgroundEvaluation;
class CompletionController;
class CompletionList;
class ResultColumn;
class SumTextView;

class EditorView : public QWidget {
    Q_OBJECT
public:
    static constexpr int largeSheetLines = 2000;
    // A text this long is evaluated whole in the background too, whatever its line count:
    // reading it is felt on the main thread even when its lines are few.
    static constexpr qsizetype largeSheetLength = 1024 * 1024;
    // The results column's usual width, and the share of the editor it may take when a result
    // in view needs more.
    static constexpr int maxResultsWidth = 220;
    static constexpr double maxResultsShare = 0.4;
    // A longer text goes into the text view a part of this many UTF-16 units at a time, each
    // between two turns of the event loop, so that opening it never freezes the window.
    static constexpr qsizetype loadPart = TextLoader::partLength;
    // The text view cannot lay out a longer line quickly: a sheet holding one is shown
    // read-only, such lines shortened, and kept exactly as it is.
    static constexpr qsizetype maxEditableLineLength = TextLoader::maxEditableLineLength;

    EditorView(const QString& text, Engine engine, const EditorTheme& theme = EditorTheme(), QWidget* parent = nullptr);
    ~EditorView() override;

    // A new engine (number style or default VND rate changed): the sheet is evaluated afresh.
    void setEngine(Engine engine);
    // The text changed outside the editor (a line appended to the quick sheet). As one undo
    // step; nothing happens when it is the text already shown.
    void replaceText(const QString& text);
    // Lines added at the end of the sheet outside the editor (`added` is what follows the
    // text shown), while the user may be typing: the caret and selection stay where they are,
    // as one undo step.
    void appendText(const QString& added);
    // The sheet may only be read (its stored text cannot be saved): the text view is read-only
    // and the status line says why. None makes it editable again.
    void setReadOnlyReason(const std::optional<QString>& reason);
    // Puts the caret at the end of the text and scrolls it into view; while the text is still
    // going into the view, as soon as all of it is there.
    void revealEnd();
    // A rate store publishing version `version`: the lines that used its rates are evaluated
    // again and only the rows whose result changed are redrawn. The same version twice is
    // evaluated once.
    void applyRateVersion(std::int64_t version);
    // The sheet store's last write error; shown as "Unsaved changes: …" until cleared.
    void setSaveError(const std::optional<QString>& error);
    void setTheme(const EditorTheme& theme);

    // Where a converted amount's rate came from, for tooltips.
    std::optional<QString> rateSourceText(const Quantity& quantity) const;

    const QString& source() const { return source_; }
    const Engine& engine() const { return sheet_->engine(); }
    NumberStyle style() const { return engine().style(); }
    // One result per line as last evaluated (in background mode, of the last run applied).
    const std::vector<LineResult>& results() const;
    const PageTotal& pageTotal() const { return pageTotal_; }
    std::span<const TextRange> variableSpans(int line) const;
    const std::optional<QString>& readOnlyReason() const { return readOnlyReason_; }
    const std::optional<QString>& saveError() const { return saveError_; }

    SumTextView* textView() const { return textView_; }
    CompletionList* completionList() const;
    CompletionController* completion() const { return completion_; }
    ResultColumn* resultsView() const { return resultsView_; }
    QLabel* saveStatus() const { return saveStatus_; }

signals:
    // The user changed the text: `text` is all of it now.
    void textEdited(const QString& text);
    // The lines of the sheet the user's change rewrote, as handed to the sheet.
    void linesEdited(const quibsum::EditorEdit& edit);
    // Escape with nothing else to cancel.
    void cancelRequested();
    // The results and the page total changed.
    void evaluated();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void contentsChanged(int position, int removed, int added);
    void textDidChange(std::optional<EditorEdit> edit);
    void evaluateWhole(std::optional<std::vector<int>> hint);
    void backgroundRunFinished();
    void resyncSource();
    void showText();
    void textLoaded(bool inParts);
    void highlight(std::vector<int> lines);
    void highlightVisible();
    void copyResultAtCaret();
    void layoutChildren();
    // Widens the results column (up to its share) while a result in view needs it.
    void fitResultsColumn();
    void updateSaveStatus();
    void elideStatus();
    void finishEvaluation();
    // The sheet whose results and names are shown: the synchronous one, or the last
    // background run's.
    const Sheet* shownSheet() const;

    SumTextView* textView_;
    ResultColumn* resultsView_;
    QLabel* saveStatus_;
    TextLoader* loader_;
    BackgroundEvaluation* background_;
    CompletionController* completion_;
    SyntaxHighlighter highlighter_;
    EditorTheme theme_;

    std::unique_ptr<Sheet> sheet_;  // holds the engine; replaced with it
    // The results on screen: the synchronous sheet's, or the last background run's.
    const std::vector<LineResult>* shown_;
    QString source_;
    PageTotal pageTotal_;
    std::set<int> highlightedLines_;  // the lines styled by the latest highlighting pass
    std::optional<QString> saveError_;
    std::optional<QString> readOnlyReason_;
    QString statusText_;  // the status line's whole text; the label may show it shortened
    std::optional<std::int64_t> lastAppliedRateVersion_;
    bool replacing_ = false;
    bool revealEndWhenLoaded_ = false;
};

}  // namespace quibsum

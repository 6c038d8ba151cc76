#pragma once
// EditorView: one open sheet, typed into and evaluated as it is typed. It owns the text view,
// the results column beside it and the save status line, and keeps the sheet's evaluation
// state.
//
// Every change of text becomes the cheapest evaluation that keeps the results right:
// - up to `largeSheetLines` lines, on the main thread, as an edit of the lines it touched, so
//   only those lines and the lines whose inputs changed are analysed again;
// - beyond that (or beyond `largeSheetLength`), the whole text in a fresh sheet on a
//   background thread. Each such run carries
//   the revision it was started at, and its results are dropped unless the revision is still
//   current, so stale results are never shown and the main thread never waits.
// Only the lines in view (and those just edited) are recoloured, so a keystroke costs the same
// in a long sheet as in a short one. Main thread only.

#include <QLabel>
#include <QString>
#include <QWidget>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <vector>

#include "QuibSum/editor/EditorEdit.h"
#include "QuibSum/editor/EditorTheme.h"
#include "QuibSum/editor/SyntaxHighlighter.h"
#include "QuibSumCore/Engine.h"
#include "QuibSumCore/PageTotal.h"
#include "QuibSumCore/Sheet.h"

namespace quibsum {

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
    static constexpr qsizetype loadPart = 32 * 1024;
    // The text view cannot lay out a longer line quickly: a sheet holding one is shown
    // read-only, such lines shortened, and kept exactly as it is.
    static constexpr qsizetype maxEditableLineLength = 100000;

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
    bool isBackgroundEvaluation() const { return backgroundEvaluation_; }
    // The text is still going into the text view (it is read-only until then).
    bool isLoading() const { return loading_; }
    // The sheet holds a line too long to edit: it is shown shortened, read-only.
    bool hasUneditableLines() const { return uneditableLines_; }
    const std::optional<QString>& readOnlyReason() const { return readOnlyReason_; }
    std::uint64_t revision() const { return revision_; }
    std::optional<std::int64_t> lastAppliedRateVersion() const { return lastAppliedRateVersion_; }
    // The last edit handed to the sheet, and the lines it wrote.
    const std::optional<EditorEdit>& lastEdit() const { return lastEdit_; }
    // The lines styled by the latest highlighting pass.
    const std::set<int>& highlightedLines() const { return highlightedLines_; }
    // The first and last line in view.
    std::pair<int, int> visibleLines() const;
    const std::optional<QString>& saveError() const { return saveError_; }

    SumTextView* textView() const { return textView_; }
    CompletionList* completionList() const { return completionList_; }
    ResultColumn* resultsView() const { return resultsView_; }
    QLabel* saveStatus() const { return saveStatus_; }

    // Called with the whole text after every change of it by the user.
    std::function<void(const QString&)> onChange;
    // Escape with nothing else to cancel.
    std::function<void()> onCancel;
    // After the results and the page total changed.
    std::function<void()> onEvaluation;

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct LargeRun;

    void contentsChanged(int position, int removed, int added);
    void textDidChange(std::optional<EditorEdit> edit);
    void evaluateWhole(std::optional<std::vector<int>> hint);
    void applyLargeRun(std::uint64_t revision, std::shared_ptr<const Sheet> sheet, PageTotal total);
    void resyncSource();
    void showText();
    void loadNextPart(std::uint64_t load);
    void finishLoading();
    void release(std::shared_ptr<const Sheet> sheet);
    // Variable suggestions.
    void textInserted(const QString& text);
    void refreshSuggestions();
    void showSuggestions(const std::vector<std::string>& names);
    bool completionCommand(int command);
    void acceptSuggestion(const QString& name);
    void dismissSuggestions();
    void placeSuggestions();
    void highlight(std::vector<int> lines);
    void highlightVisible();
    void copyResultAtCaret();
    void layoutChildren();
    // Widens the results column (up to its share) while a result in view needs it.
    void fitResultsColumn();
    void updateSaveStatus();
    void elideStatus();
    void evaluated();

    SumTextView* textView_;
    ResultColumn* resultsView_;
    CompletionList* completionList_;
    QLabel* saveStatus_;
    SyntaxHighlighter highlighter_;
    EditorTheme theme_;

    std::unique_ptr<Sheet> sheet_;  // holds the engine; replaced with it
    // The sheet of the last background run applied; read-only once it is here.
    std::shared_ptr<const Sheet> largeSheet_;
    // The results on screen: the synchronous sheet's, or largeSheet_'s.
    const std::vector<LineResult>* shown_;
    QString source_;
    PageTotal pageTotal_;
    std::optional<EditorEdit> lastEdit_;
    std::set<int> highlightedLines_;
    std::optional<QString> saveError_;
    std::optional<QString> readOnlyReason_;
    QString statusText_;  // the status line's whole text; the label may show it shortened
    std::uint64_t revision_ = 0;
    // The newest revision, readable by background runs so that a stale one skips its work.
    std::shared_ptr<std::atomic<std::uint64_t>> latestRevision_;
    std::optional<std::int64_t> lastAppliedRateVersion_;
    bool backgroundEvaluation_ = false;
    bool replacing_ = false;
    bool loading_ = false;
    bool uneditableLines_ = false;
    bool revealEndWhenLoaded_ = false;
    QString unloaded_;         // what is still to go into the text view
    std::uint64_t loads_ = 0;  // so that a superseded load stops
    // The typed prefix the suggestions would replace (document position, UTF-16 length).
    int completionStart_ = 0;
    int completionLength_ = 0;
    // Suggestions may open: a name character or a space was typed since the list last closed.
    bool completionEligible_ = false;
    std::uint64_t completionGeneration_ = 0;
};

}  // namespace quibsum

#include "QuibSum/editor/EditorView.h"

#include <QResizeEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <algorithm>
#include <utility>

#include "QuibSum/editor/BackgroundEvaluation.h"
#include "QuibSum/editor/CompletionController.h"
#include "QuibSum/editor/CompletionList.h"
#include "QuibSum/editor/RateSourceText.h"
#include "QuibSum/editor/ResultColumn.h"
#include "QuibSum/editor/SumTextView.h"
#include "QuibSumCore/LineEnds.h"

namespace quibsum {

namespace {

std::string utf8(const QString& text) { return text.toStdString(); }

int lineCount(const QString& text) { return static_cast<int>(text.count(u'\n')) + 1; }

void sortUnique(std::vector<int>& lines) {
    std::sort(lines.begin(), lines.end());
    lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
}

}  // namespace

EditorView::EditorView(const QString& text, Engine engine, const EditorTheme& theme, QWidget* parent)
    : QWidget(parent),
      textView_(new SumTextView(this)),
      resultsView_(nullptr),
      saveStatus_(new QLabel(this)),
      loader_(new TextLoader(textView_, this)),
      background_(new BackgroundEvaluation(this)),
      completion_(nullptr),
      highlighter_(textView_->document()),
      theme_(theme),
      sheet_(std::make_unique<Sheet>(std::move(engine))),
      shown_(&sheet_->results()),
      source_(LineEnds::withLineFeeds(text)) {
    resultsView_ =
        new ResultColumn(textView_,
                         ResultColumn::Source{[this](int line) -> const LineResult* {
                                                  const auto& r = results();
                                                  return line >= 0 && static_cast<std::size_t>(line) < r.size()
                                                             ? &r[static_cast<std::size_t>(line)]
                                                             : nullptr;
                                              },
                                              [this](const Quantity& q) { return rateSourceText(q); }},
                         textView_);
    completion_ =
        new CompletionController(textView_, this, [this] { return loader_->isLoading() ? nullptr : shownSheet(); });

    saveStatus_->setTextFormat(Qt::PlainText);
    saveStatus_->setWordWrap(false);
    saveStatus_->hide();

    connect(loader_, &TextLoader::loaded, this, &EditorView::textLoaded);
    connect(background_, &BackgroundEvaluation::finished, this, &EditorView::backgroundRunFinished);
    showText();
    connect(textView_, &SumTextView::copyResultRequested, this, &EditorView::copyResultAtCaret);
    connect(textView_, &SumTextView::cancelRequested, this, &EditorView::cancelRequested);
    textView_->completionCommand = [this](SumTextView::CompletionCommand c) { return completion_->command(c); };
    connect(textView_->document(), &QTextDocument::contentsChange, this, &EditorView::contentsChanged);
    // The column follows the text view: scrolled with it, so that only the rows coming into
    // view are drawn, and redrawn where the text view redraws.
    connect(textView_, &QPlainTextEdit::updateRequest, this, [this](const QRect& rect, int dy) {
        if (dy != 0) {
            highlightVisible();
            fitResultsColumn();
            resultsView_->scroll(0, dy);
        } else if (rect.contains(textView_->viewport()->rect())) {
            highlightVisible();
            resultsView_->update();
        } else {
            resultsView_->update(0, rect.y(), resultsView_->width(), rect.height());
        }
    });

    setTheme(theme_);
    evaluateWhole(std::nullopt);
}

EditorView::~EditorView() {
    // The text view goes first, while all of this editor is still there for what it reports
    // on its way out.
    delete textView_;
}

// ---- Loading -----------------------------------------------------------------------------

void EditorView::showText() {
    loader_->load(source_);
    if (loader_->isLoading()) updateSaveStatus();
}

void EditorView::textLoaded(bool inParts) {
    textView_->setReadOnly(loader_->hasUneditableLines() || readOnlyReason_);
    updateSaveStatus();
    if (std::exchange(revealEndWhenLoaded_, false)) revealEnd();
    if (inParts) {
        highlightVisible();
        resultsView_->update();
    }
}

CompletionList* EditorView::completionList() const { return completion_->list(); }

void EditorView::revealEnd() {
    // Before the last part is in, the end is only the end of what has arrived so far.
    if (loader_->isLoading()) {
        revealEndWhenLoaded_ = true;
        return;
    }
    textView_->moveCursor(QTextCursor::End);
    textView_->ensureCursorVisible();
}

const std::vector<LineResult>& EditorView::results() const { return *shown_; }

const Sheet* EditorView::shownSheet() const { return background_->isActive() ? background_->sheet() : sheet_.get(); }

std::span<const TextRange> EditorView::variableSpans(int line) const {
    if (line < 0) return {};
    const Sheet* sheet = shownSheet();
    if (!sheet || shown_ != &sheet->results()) return {};
    return sheet->variableSpans(static_cast<std::size_t>(line));
}

std::optional<QString> EditorView::rateSourceText(const Quantity& quantity) const {
    return quibsum::rateSourceText(quantity);
}

// ---- Text changes ------------------------------------------------------------------------

void EditorView::contentsChanged(int position, int removed, int added) {
    if (highlighter_.isApplying() || replacing_ || loader_->isLoading()) return;
    QTextDocument* document = textView_->document();
    // Qt counts the paragraph separator that ends every document; the text has none.
    const int newLength = document->characterCount() - 1;
    const int oldLength = static_cast<int>(source_.size());
    if (position < 0 || position > oldLength || position > newLength) return resyncSource();
    removed = std::min(removed, oldLength - position);
    added = std::min(added, newLength - position);
    if (removed < 0 || added < 0 || oldLength - removed + added != newLength) return resyncSource();

    QTextCursor cursor(document);
    cursor.setPosition(position);
    cursor.setPosition(position + added, QTextCursor::KeepAnchor);
    const QString inserted = cursor.selectedText().replace(QChar::ParagraphSeparator, u'\n');
    // Formats changed, not text: nothing to evaluate.
    if (removed == added && QStringView(source_).mid(position, removed) == inserted) return;

    // The text before `position` did not change, so its line is the old one's too.
    const int first = document->findBlock(position).blockNumber();
    const int removedBreaks = static_cast<int>(QStringView(source_).mid(position, removed).count(u'\n'));
    source_.replace(position, removed, inserted);
    const int newLast = document->findBlock(position + added).blockNumber();

    EditorEdit edit;
    edit.lower = first;
    edit.upper = first + removedBreaks + 1;
    for (QTextBlock b = document->findBlockByNumber(first); b.isValid() && b.blockNumber() <= newLast; b = b.next())
        edit.replacement.append(b.text());
    textDidChange(std::move(edit));
}

// The document and our copy of its text disagree (a change Qt reported in a way we cannot
// follow): take the text anew and evaluate it whole.
void EditorView::resyncSource() {
    source_ = textView_->document()->toRawText().replace(QChar::ParagraphSeparator, u'\n');
    textDidChange(std::nullopt);
}

void EditorView::textDidChange(std::optional<EditorEdit> edit) {
    emit textEdited(source_);
    if (edit) emit linesEdited(*edit);
    const int lines = textView_->document()->blockCount();
    if (lines > largeSheetLines || source_.size() > largeSheetLength || background_->isActive()) {
        std::optional<std::vector<int>> hint;
        if (edit) {
            hint.emplace();
            for (int i = 0; i < edit->replacement.size(); ++i) hint->push_back(edit->lower + i);
        }
        evaluateWhole(std::move(hint));
        return;
    }
    if (!edit) {
        evaluateWhole(std::nullopt);
        return;
    }

    std::vector<std::string> replacement;
    replacement.reserve(static_cast<std::size_t>(edit->replacement.size()));
    for (const QString& line : edit->replacement) replacement.push_back(utf8(line));
    const Sheet::Update update = sheet_->update(static_cast<std::size_t>(edit->lower),
                                                static_cast<std::size_t>(edit->upper), std::move(replacement));
    pageTotal_ = sheet_->total();

    // Redraw the rows whose result changed; when lines came or went, every row below the
    // edit moved.
    if (edit->replacement.size() != edit->upper - edit->lower)
        resultsView_->invalidateFrom(edit->lower);
    else
        resultsView_->invalidate(update.changed);

    // Recolour the lines written, those whose variables moved and those whose result turned
    // into or out of an error; the highlighter skips what is out of view.
    std::vector<int> recolour;
    for (int i = 0; i < edit->replacement.size(); ++i) recolour.push_back(edit->lower + i);
    for (std::size_t i : update.rangesChanged) recolour.push_back(static_cast<int>(i));
    for (std::size_t i : update.changed) recolour.push_back(static_cast<int>(i));
    highlight(std::move(recolour));
    finishEvaluation();
    completion_->refresh();
}

void EditorView::evaluateWhole(std::optional<std::vector<int>> hint) {
    if (lineCount(source_) <= largeSheetLines && source_.size() <= largeSheetLength) {
        background_->stop();
        sheet_->setText(utf8(source_));
        shown_ = &sheet_->results();
        pageTotal_ = sheet_->total();
        resultsView_->update();
        finishEvaluation();
    } else {
        // Until the run is back, what was shown stays; the synchronous sheet is left alone.
        background_->start(sheet_->engine(), source_);
    }
    if (hint)
        highlight(std::move(*hint));
    else
        highlightVisible();
}

void EditorView::backgroundRunFinished() {
    shown_ = &background_->sheet()->results();
    pageTotal_ = background_->total();
    resultsView_->update();
    highlightVisible();
    if (completion_->isEligible()) completion_->refresh();
    finishEvaluation();
}

void EditorView::finishEvaluation() {
    fitResultsColumn();
    emit evaluated();
}

void EditorView::fitResultsColumn() {
    const int widest = static_cast<int>(width() * maxResultsShare);
    const int usual = std::min(widest, maxResultsWidth);
    textView_->setSideColumn(resultsView_, std::clamp(resultsView_->wantedWidth(), usual, widest));
}

// ---- Outside changes ---------------------------------------------------------------------

void EditorView::setEngine(Engine engine) {
    std::unique_ptr<Sheet> old = std::exchange(sheet_, std::make_unique<Sheet>(std::move(engine)));
    // A background run's results stay on screen until the next one is back.
    if (shown_ == &old->results()) shown_ = &sheet_->results();
    evaluateWhole(std::nullopt);
}

void EditorView::replaceText(const QString& text) {
    QString normalised = LineEnds::withLineFeeds(text);
    if (normalised == source_) return;
    bool longLines = false;
    const bool loading = loader_->isLoading();
    const bool uneditable = loader_->hasUneditableLines();
    const bool appended = !loading && !uneditable && normalised.startsWith(source_);
    const QStringView added = QStringView(normalised).mid(appended ? source_.size() : 0);
    TextLoader::forDisplay(added.toString(), longLines);
    if (longLines || loading || uneditable || added.size() > loadPart) {
        // Too much for one step, or text the view cannot edit: shown anew, history cleared.
        source_ = std::move(normalised);
        showText();
    } else {
        // Lines appended (the quick sheet's usual change) go in at the end, the rest replaces
        // the whole; either way as one undo step.
        QTextCursor cursor(textView_->document());
        replacing_ = true;
        cursor.beginEditBlock();
        if (appended)
            cursor.movePosition(QTextCursor::End);
        else
            cursor.select(QTextCursor::Document);
        cursor.insertText(added.toString());
        cursor.endEditBlock();
        replacing_ = false;
        source_ = std::move(normalised);
        textView_->setTextCursor(cursor);
        textView_->ensureCursorVisible();
    }
    evaluateWhole(std::nullopt);
}

void EditorView::appendText(const QString& added) {
    const QString text = LineEnds::withLineFeeds(added);
    if (text.isEmpty()) return;
    bool longLines = false;
    TextLoader::forDisplay(text, longLines);
    if (loader_->isLoading() || loader_->hasUneditableLines() || readOnlyReason_ || longLines || text.size() > loadPart)
        return replaceText(source_ + text);
    // The caret and selection stay where the user was working, also when that was the end:
    // the next key typed goes where it would have gone.
    const QTextCursor shown = textView_->textCursor();
    const int anchor = shown.anchor();
    const int position = shown.position();
    QTextCursor end(textView_->document());
    end.movePosition(QTextCursor::End);
    replacing_ = true;
    end.beginEditBlock();
    end.insertText(text);
    end.endEditBlock();
    replacing_ = false;
    source_ += text;
    QTextCursor kept(textView_->document());
    kept.setPosition(anchor);
    kept.setPosition(position, QTextCursor::KeepAnchor);
    textView_->setTextCursor(kept);
    evaluateWhole(std::nullopt);
}

void EditorView::setReadOnlyReason(const std::optional<QString>& reason) {
    readOnlyReason_ = reason;
    if (!loader_->isLoading()) textView_->setReadOnly(loader_->hasUneditableLines() || readOnlyReason_);
    updateSaveStatus();
}

void EditorView::applyRateVersion(std::int64_t version) {
    if (lastAppliedRateVersion_ == version) return;
    lastAppliedRateVersion_ = version;
    if (background_->isActive()) {
        evaluateWhole(std::nullopt);
        return;
    }
    const Sheet::Update update = sheet_->setRatesVersion(version);
    if (update.changed.empty() && update.rangesChanged.empty()) return;
    pageTotal_ = sheet_->total();
    highlightVisible();
    resultsView_->invalidate(update.changed);
    finishEvaluation();
}

void EditorView::setSaveError(const std::optional<QString>& error) {
    saveError_ = error;
    updateSaveStatus();
}

// The status line: a failed save first; else why the sheet cannot be edited just now.
void EditorView::updateSaveStatus() {
    QString text;
    PaletteRole role = PaletteRole::error;
    if (saveError_) {
        text = tr("Unsaved changes") + QStringLiteral(": ") + *saveError_;
    } else if (readOnlyReason_) {
        text = *readOnlyReason_;
    } else if (loader_->hasUneditableLines()) {
        text = tr("A line is too long to edit here: the sheet is shown shortened and kept unchanged.");
        role = PaletteRole::footerText;
    } else if (loader_->isLoading()) {
        text = tr("Opening…");
        role = PaletteRole::footerText;
    }
    QPalette status = saveStatus_->palette();
    status.setColor(QPalette::WindowText, theme_.color(role));
    saveStatus_->setPalette(status);
    statusText_ = text;
    saveStatus_->setToolTip(text);
    saveStatus_->setVisible(!text.isEmpty());
    layoutChildren();
}

// One line, cut at its tail with "…" when it does not fit; the tooltip holds all of it.
void EditorView::elideStatus() {
    const QString shown = saveStatus_->fontMetrics().elidedText(statusText_, Qt::ElideRight, saveStatus_->width());
    if (saveStatus_->text() != shown) saveStatus_->setText(shown);
}

void EditorView::setTheme(const EditorTheme& theme) {
    theme_ = theme;
    QPalette palette = theme.sheetPalette();
    palette.setColor(QPalette::Text, theme.color(PaletteRole::text));
    palette.setColor(QPalette::Highlight, theme.color(PaletteRole::selection));
    palette.setColor(QPalette::HighlightedText, theme.color(PaletteRole::selectionText));
    textView_->setPalette(palette);
    textView_->setFont(theme.textFont());
    textView_->verticalScrollBar()->setStyleSheet(theme.scrollBarStyleSheet());
    updateSaveStatus();
    QPalette own = this->palette();
    own.setColor(QPalette::Window, theme.color(PaletteRole::background));
    setPalette(own);
    setAutoFillBackground(true);
    resultsView_->setTheme(theme);
    completion_->list()->setTheme(theme);
    // The colours of every styled line are the old appearance's: restyle what is in view, and
    // the rest as it scrolls into view.
    highlightVisible();
    textView_->viewport()->update();
}

// ---- Highlighting and layout -------------------------------------------------------------

void EditorView::highlight(std::vector<int> lines) {
    const auto [first, last] = textView_->visibleLines();
    std::erase_if(lines, [first = first, last = last](int line) { return line < first || line > last; });
    sortUnique(lines);
    if (lines.empty()) return;
    const auto& shown = results();
    highlighter_.highlight(
        lines, style(), theme_,
        [&](int line) {
            SyntaxHighlighter::LineState state;
            const auto index = static_cast<std::size_t>(line);
            state.error = index < shown.size() && shown[index].isError();
            state.variables = variableSpans(line);
            return state;
        },
        highlightedLines_);
}

void EditorView::highlightVisible() {
    const auto [first, last] = textView_->visibleLines();
    std::vector<int> lines;
    for (int i = first; i <= last; ++i) lines.push_back(i);
    highlight(std::move(lines));
}

void EditorView::copyResultAtCaret() {
    const int line = textView_->document()->findBlock(textView_->textCursor().selectionStart()).blockNumber();
    resultsView_->copyResult(line);
}

void EditorView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutChildren();
}

void EditorView::layoutChildren() {
    const int statusHeight = saveStatus_->isHidden() ? 0 : 28;
    const int w = width();
    const int h = height();
    textView_->setGeometry(0, 0, w, std::max(0, h - statusHeight));
    fitResultsColumn();
    saveStatus_->setGeometry(14, h - statusHeight, std::max(0, w - 28), statusHeight);
    elideStatus();
    highlightVisible();
    completion_->place();
}

}  // namespace quibsum

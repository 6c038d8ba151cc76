#include "QuibSum/editor/EditorView.h"

#include <QApplication>
#include <QCoreApplication>
#include <QPointer>
#include <QResizeEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QThreadPool>
#include <QTimer>
#include <algorithm>
#include <utility>

#include "QuibSum/editor/CompletionList.h"
#include "QuibSum/editor/NameFolding.h"
#include "QuibSum/editor/RateSourceText.h"
#include "QuibSum/editor/ResultColumn.h"
#include "QuibSum/editor/SumTextView.h"
#include "QuibSumCore/LineEnds.h"

namespace quibsum {

namespace {

// One thread for every editor's background runs: they queue behind each other, and a run
// whose revision is no longer current when its turn comes skips its work.
QThreadPool& largeSheetPool() {
    static QThreadPool* pool = [] {
        auto* p = new QThreadPool(qApp);
        p->setMaxThreadCount(1);
        p->setExpiryTimeout(-1);
        return p;
    }();
    return *pool;
}

std::string utf8(const QString& text) { return text.toStdString(); }

// The text as the text view shows it: every line longer than the view can lay out cut short.
QString forDisplay(const QString& text, bool& shortened) {
    shortened = false;
    QString shown;
    qsizetype start = 0;
    while (start <= text.size()) {
        qsizetype end = text.indexOf(u'\n', start);
        if (end < 0) end = text.size();
        const qsizetype length = end - start;
        if (length > EditorView::maxEditableLineLength) {
            if (!shortened) shown = text.left(start);
            shortened = true;
            shown += QStringView(text).mid(start, 1000);
            shown += QCoreApplication::translate("EditorView", " … (%1 more characters, not shown)").arg(length - 1000);
        } else if (shortened) {
            shown += QStringView(text).mid(start, length);
        }
        if (shortened && end < text.size()) shown += u'\n';
        start = end + 1;
    }
    return shortened ? shown : text;
}

// Between two parts of a long text, input and painting get their turn.
constexpr std::chrono::milliseconds partInterval{1};

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
      completionList_(new CompletionList(this)),
      saveStatus_(new QLabel(this)),
      highlighter_(textView_->document()),
      theme_(theme),
      sheet_(std::make_unique<Sheet>(std::move(engine))),
      shown_(&sheet_->results()),
      source_(LineEnds::withLineFeeds(text)),
      latestRevision_(std::make_shared<std::atomic<std::uint64_t>>(0)) {
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

    saveStatus_->setTextFormat(Qt::PlainText);
    saveStatus_->setWordWrap(false);
    saveStatus_->hide();

    showText();
    textView_->onCopyResult = [this] { copyResultAtCaret(); };
    textView_->onEscape = [this] {
        if (onCancel) onCancel();
    };
    textView_->completionCommand = [this](SumTextView::CompletionCommand c) {
        return completionCommand(static_cast<int>(c));
    };
    textView_->onTextInserted = [this](const QString& text) { textInserted(text); };
    textView_->onCompositionChange = [this] { refreshSuggestions(); };
    completionList_->onAccept = [this](const QString& name) { acceptSuggestion(name); };
    completionList_->onDismiss = [this] {
        completionEligible_ = false;
        ++completionGeneration_;
        qApp->removeEventFilter(this);
    };
    connect(textView_, &QPlainTextEdit::cursorPositionChanged, this, [this] { refreshSuggestions(); });
    connect(textView_->document(), &QTextDocument::contentsChange, this,
            [this](int position, int removed, int added) { contentsChanged(position, removed, added); });
    connect(textView_, &QPlainTextEdit::updateRequest, this, [this](const QRect& rect, int dy) {
        if (dy != 0 && completionList_->isVisible()) dismissSuggestions();
        if (dy != 0 || rect.contains(textView_->viewport()->rect())) {
            highlightVisible();
            if (dy != 0) fitResultsColumn();
            resultsView_->update();
        } else {
            resultsView_->update(0, rect.y(), resultsView_->width(), rect.height());
        }
    });

    setTheme(theme_);
    evaluateWhole(std::nullopt);
}

EditorView::~EditorView() {
    // The children outlive this part of the object: nothing they report may reach it now.
    disconnect(textView_, nullptr, this, nullptr);
    disconnect(textView_->document(), nullptr, this, nullptr);
    textView_->onCopyResult = nullptr;
    textView_->onEscape = nullptr;
    textView_->completionCommand = nullptr;
    textView_->onTextInserted = nullptr;
    textView_->onCompositionChange = nullptr;
    qApp->removeEventFilter(this);
    // Any run still queued for this editor finds a newer revision and skips its work.
    latestRevision_->store(~std::uint64_t{0});
    release(std::move(largeSheet_));
}

// Freeing a sheet of many thousand lines takes long enough to be felt: it is done on the
// background thread.
void EditorView::release(std::shared_ptr<const Sheet> sheet) {
    if (sheet) largeSheetPool().start([sheet = std::move(sheet)]() mutable { sheet.reset(); });
}

// ---- Loading -----------------------------------------------------------------------------

// Puts source_ into the text view: at once when short, else the first part now and the rest
// part by part (read-only meanwhile). Either way the undo history starts empty: the parts go
// in with it off, or every line of a long text would stay behind in it as a step to undo.
void EditorView::showText() {
    const QString shown = forDisplay(source_, uneditableLines_);
    ++loads_;
    loading_ = true;
    textView_->setUndoRedoEnabled(false);
    if (shown.size() <= loadPart) {
        textView_->setPlainText(shown);
        unloaded_.clear();
        finishLoading();
        return;
    }
    qsizetype cut = shown.indexOf(u'\n', loadPart);
    if (cut < 0) cut = shown.size();
    textView_->setReadOnly(true);
    textView_->setPlainText(shown.left(cut));
    unloaded_ = shown.mid(cut);
    QTimer::singleShot(partInterval, this, [this, load = loads_] { loadNextPart(load); });
    updateSaveStatus();
}

void EditorView::loadNextPart(std::uint64_t load) {
    if (load != loads_ || !loading_) return;
    qsizetype cut = unloaded_.indexOf(u'\n', std::min(unloaded_.size(), loadPart));
    if (cut < 0) cut = unloaded_.size();
    QTextCursor end(textView_->document());
    end.movePosition(QTextCursor::End);
    end.insertText(unloaded_.left(cut));
    unloaded_.remove(0, cut);
    if (!unloaded_.isEmpty()) {
        QTimer::singleShot(partInterval, this, [this, load] { loadNextPart(load); });
        return;
    }
    finishLoading();
    highlightVisible();
    resultsView_->update();
}

void EditorView::finishLoading() {
    loading_ = false;
    textView_->document()->clearUndoRedoStacks();
    textView_->setUndoRedoEnabled(true);
    textView_->document()->setModified(false);
    textView_->setReadOnly(uneditableLines_ || readOnlyReason_);
    updateSaveStatus();
    if (std::exchange(revealEndWhenLoaded_, false)) revealEnd();
}

void EditorView::revealEnd() {
    // Before the last part is in, the end is only the end of what has arrived so far.
    if (loading_) {
        revealEndWhenLoaded_ = true;
        return;
    }
    textView_->moveCursor(QTextCursor::End);
    textView_->ensureCursorVisible();
}

const std::vector<LineResult>& EditorView::results() const { return *shown_; }

std::span<const TextRange> EditorView::variableSpans(int line) const {
    if (line < 0) return {};
    const Sheet* sheet = backgroundEvaluation_ ? largeSheet_.get() : sheet_.get();
    if (!sheet || shown_ != &sheet->results()) return {};
    return sheet->variableSpans(static_cast<std::size_t>(line));
}

std::optional<QString> EditorView::rateSourceText(const Quantity& quantity) const {
    return quibsum::rateSourceText(quantity);
}

// ---- Text changes ------------------------------------------------------------------------

void EditorView::contentsChanged(int position, int removed, int added) {
    if (highlighter_.isApplying() || replacing_ || loading_) return;
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
    if (onChange) onChange(source_);
    const int lines = textView_->document()->blockCount();
    if (lines > largeSheetLines || source_.size() > largeSheetLength || backgroundEvaluation_) {
        std::optional<std::vector<int>> hint;
        if (edit) {
            hint.emplace();
            for (int i = 0; i < edit->replacement.size(); ++i) hint->push_back(edit->lower + i);
        }
        lastEdit_ = std::move(edit);
        evaluateWhole(std::move(hint));
        return;
    }
    if (!edit) {
        lastEdit_.reset();
        evaluateWhole(std::nullopt);
        return;
    }

    std::vector<std::string> replacement;
    replacement.reserve(static_cast<std::size_t>(edit->replacement.size()));
    for (const QString& line : edit->replacement) replacement.push_back(utf8(line));
    const Sheet::Update update = sheet_->update(static_cast<std::size_t>(edit->lower),
                                                static_cast<std::size_t>(edit->upper), std::move(replacement));
    pageTotal_ = sheet_->total();

    // Recolour the lines written, those whose variables moved and those whose result turned
    // into or out of an error; the highlighter skips what is out of view.
    std::vector<int> recolour;
    for (int i = 0; i < edit->replacement.size(); ++i) recolour.push_back(edit->lower + i);
    for (std::size_t i : update.rangesChanged) recolour.push_back(static_cast<int>(i));
    for (std::size_t i : update.changed) recolour.push_back(static_cast<int>(i));
    lastEdit_ = std::move(edit);
    highlight(std::move(recolour));
    resultsView_->update();
    evaluated();
    refreshSuggestions();
}

void EditorView::evaluateWhole(std::optional<std::vector<int>> hint) {
    ++revision_;
    latestRevision_->store(revision_);
    if (lineCount(source_) <= largeSheetLines && source_.size() <= largeSheetLength) {
        backgroundEvaluation_ = false;
        release(std::move(largeSheet_));
        sheet_->setText(utf8(source_));
        shown_ = &sheet_->results();
        pageTotal_ = sheet_->total();
        resultsView_->update();
        evaluated();
    } else {
        backgroundEvaluation_ = true;
        // Until the run is back, what was shown stays; the synchronous sheet is left alone.
        auto sheet = std::make_shared<Sheet>(sheet_->engine());
        QPointer<EditorView> self(this);
        largeSheetPool().start([self, sheet, text = source_, revision = revision_, latest = latestRevision_] {
            if (latest->load() != revision) return;
            sheet->setText(text.toStdString());
            if (latest->load() != revision) return;
            PageTotal total = sheet->total();
            QMetaObject::invokeMethod(
                qApp,
                [self, sheet, revision, total = std::move(total)]() mutable {
                    if (self)
                        self->applyLargeRun(revision, std::move(sheet), std::move(total));
                    else
                        largeSheetPool().start([sheet = std::move(sheet)]() mutable { sheet.reset(); });
                },
                Qt::QueuedConnection);
        });
    }
    if (hint)
        highlight(std::move(*hint));
    else
        highlightVisible();
}

void EditorView::applyLargeRun(std::uint64_t revision, std::shared_ptr<const Sheet> sheet, PageTotal total) {
    if (revision != revision_ || !backgroundEvaluation_) return release(std::move(sheet));
    std::shared_ptr<const Sheet> previous = std::exchange(largeSheet_, std::move(sheet));
    shown_ = &largeSheet_->results();
    release(std::move(previous));
    pageTotal_ = std::move(total);
    resultsView_->update();
    highlightVisible();
    if (completionEligible_) refreshSuggestions();
    evaluated();
}

void EditorView::evaluated() {
    fitResultsColumn();
    if (onEvaluation) onEvaluation();
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
    lastEdit_.reset();
    bool longLines = false;
    const bool appended = !loading_ && !uneditableLines_ && normalised.startsWith(source_);
    const QStringView added = QStringView(normalised).mid(appended ? source_.size() : 0);
    forDisplay(added.toString(), longLines);
    if (longLines || loading_ || uneditableLines_ || added.size() > loadPart) {
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
    forDisplay(text, longLines);
    if (loading_ || uneditableLines_ || readOnlyReason_ || longLines || text.size() > loadPart)
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
    if (!loading_) textView_->setReadOnly(uneditableLines_ || readOnlyReason_);
    updateSaveStatus();
}

void EditorView::applyRateVersion(std::int64_t version) {
    if (lastAppliedRateVersion_ == version) return;
    lastAppliedRateVersion_ = version;
    if (backgroundEvaluation_) {
        evaluateWhole(std::nullopt);
        return;
    }
    const Sheet::Update update = sheet_->setRatesVersion(version);
    if (update.changed.empty() && update.rangesChanged.empty()) return;
    pageTotal_ = sheet_->total();
    highlightVisible();
    resultsView_->invalidate(update.changed);
    evaluated();
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
    } else if (uneditableLines_) {
        text = tr("A line is too long to edit here: the sheet is shown shortened and kept unchanged.");
        role = PaletteRole::footerText;
    } else if (loading_) {
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
    QPalette palette = theme.palette();
    palette.setColor(QPalette::Base, theme.color(PaletteRole::background));
    palette.setColor(QPalette::Window, theme.color(PaletteRole::background));
    palette.setColor(QPalette::Text, theme.color(PaletteRole::text));
    palette.setColor(QPalette::Highlight, theme.color(PaletteRole::selection));
    palette.setColor(QPalette::HighlightedText, theme.color(PaletteRole::selectionText));
    textView_->setPalette(palette);
    textView_->setFont(theme.textFont());
    // A thin bar in the sheet's own colours: the platform's would be light on a dark sheet.
    textView_->verticalScrollBar()->setStyleSheet(
        QStringLiteral("QScrollBar:vertical { background: %1; width: 10px; margin: 0; border: none; }"
                       "QScrollBar::handle:vertical { background: %2; min-height: 28px; border-radius: 3px;"
                       " margin: 2px; }"
                       "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
                       "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }")
            .arg(theme.color(PaletteRole::background).name(), [&] {
                const QColor c = theme.color(PaletteRole::comment);
                return QStringLiteral("rgba(%1, %2, %3, 45%)").arg(c.red()).arg(c.green()).arg(c.blue());
            }()));
    updateSaveStatus();
    QPalette own = this->palette();
    own.setColor(QPalette::Window, theme.color(PaletteRole::background));
    setPalette(own);
    setAutoFillBackground(true);
    resultsView_->setTheme(theme);
    completionList_->setTheme(theme);
    // The colours of every styled line are the old appearance's: restyle what is in view, and
    // the rest as it scrolls into view.
    highlightVisible();
    textView_->viewport()->update();
}

// ---- Highlighting and layout -------------------------------------------------------------

std::pair<int, int> EditorView::visibleLines() const {
    QTextBlock block = textView_->firstVisibleTextBlock();
    if (!block.isValid()) return {0, 0};
    const int first = block.blockNumber();
    int last = first;
    const qreal bottom = textView_->viewport()->height();
    for (; block.isValid(); block = block.next()) {
        if (textView_->blockGeometry(block).top() > bottom) break;
        last = block.blockNumber();
    }
    return {first, last};
}

void EditorView::highlight(std::vector<int> lines) {
    const auto [first, last] = visibleLines();
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
    const auto [first, last] = visibleLines();
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
    if (completionList_->isVisible()) placeSuggestions();
}

// ---- Variable suggestions ----------------------------------------------------------------

namespace {

// The code point ending at `end` (UTF-16 offset) and its length.
std::pair<char32_t, int> pointBefore(const QString& text, int end) {
    const QChar low = text[end - 1];
    if (low.isLowSurrogate() && end >= 2 && text[end - 2].isHighSurrogate())
        return {QChar::surrogateToUcs4(text[end - 2], low), 2};
    return {low.unicode(), 1};
}

std::pair<char32_t, int> pointAt(const QString& text, int at) {
    const QChar high = text[at];
    if (high.isHighSurrogate() && at + 1 < text.size() && text[at + 1].isLowSurrogate())
        return {QChar::surrogateToUcs4(high, text[at + 1]), 2};
    return {high.unicode(), 1};
}

}  // namespace

void EditorView::textInserted(const QString& text) {
    if (text.isEmpty()) return dismissSuggestions();
    const char32_t last = pointBefore(text, static_cast<int>(text.size())).first;
    if ((!NameFolding::isNameCharacter(last) && last != U' ') || textView_->hasMarkedText())
        return dismissSuggestions();
    ++completionGeneration_;
    if (!completionEligible_) qApp->installEventFilter(this);  // a click elsewhere closes the list
    completionEligible_ = true;
    refreshSuggestions();
}

void EditorView::refreshSuggestions() {
    if (!completionEligible_) return;
    if (!isVisible() || !textView_->hasFocus()) return;
    const QTextCursor cursor = textView_->textCursor();
    if (textView_->hasMarkedText() || loading_ || cursor.hasSelection()) return dismissSuggestions();
    const auto line = static_cast<std::ptrdiff_t>(cursor.blockNumber());
    // In the background mode the last run's sheet answers: it no longer changes.
    const Sheet* names = backgroundEvaluation_ ? largeSheet_.get() : sheet_.get();
    if (!names) return dismissSuggestions();
    showSuggestions(names->variableNames(line));
}

void EditorView::showSuggestions(const std::vector<std::string>& names) {
    if (names.empty()) return dismissSuggestions();
    const QTextCursor cursor = textView_->textCursor();
    const QString text = cursor.block().text();
    const int caret = cursor.positionInBlock();
    // Back over name characters and spaces, then forward to a letter: a prefix never starts
    // with a digit or a space.
    int start = caret;
    while (start > 0) {
        const auto [c, length] = pointBefore(text, start);
        if (!NameFolding::isNameCharacter(c) && c != U' ') break;
        start -= length;
    }
    while (start < caret) {
        const auto [c, length] = pointAt(text, start);
        if (NameFolding::isLetter(c) || c == U'_') break;
        start += length;
    }
    if (start >= caret) return dismissSuggestions();
    // Never inside a word.
    if (caret < text.size() && NameFolding::isNameCharacter(pointAt(text, caret).first)) return dismissSuggestions();

    const QString prefix = text.mid(start, caret - start);
    const QString folded = NameFolding::fold(prefix);
    QStringList matches;
    for (const std::string& name : names) {
        const QString candidate = QString::fromStdString(name);
        if (candidate != prefix && NameFolding::fold(candidate).startsWith(folded)) matches.append(candidate);
    }
    if (matches.isEmpty()) return dismissSuggestions();
    completionStart_ = cursor.block().position() + start;
    completionLength_ = caret - start;
    completionList_->show(matches);
    placeSuggestions();
}

void EditorView::placeSuggestions() {
    const QRect caret = textView_->cursorRect();
    const QPoint below = textView_->viewport()->mapTo(this, caret.bottomLeft());
    const QSize size = completionList_->listSize();
    int x = std::clamp(below.x() - 8, 0, std::max(0, width() - size.width()));
    int y = below.y() + 2;
    if (y + size.height() > height())
        y = std::max(0, textView_->viewport()->mapTo(this, caret.topLeft()).y() - size.height() - 2);
    completionList_->setGeometry(x, y, size.width(), size.height());
}

bool EditorView::completionCommand(int command) {
    using Command = SumTextView::CompletionCommand;
    if (textView_->hasMarkedText()) return false;
    const auto c = static_cast<Command>(command);
    if (!completionList_->isVisible()) {
        if (c == Command::cancel && completionEligible_) {
            dismissSuggestions();
            return true;
        }
        return false;
    }
    switch (c) {
        case Command::cancel:
            dismissSuggestions();
            return true;
        case Command::moveUp:
            completionList_->moveSelection(-1);
            return true;
        case Command::moveDown:
            completionList_->moveSelection(1);
            return true;
        case Command::insertTab:
            completionList_->acceptSelected();
            return true;
        case Command::insertNewline: {
            const QTextCursor cursor = textView_->textCursor();
            const int at = cursor.positionInBlock();
            if (at > 0 && cursor.block().text().at(at - 1) == u' ') {
                dismissSuggestions();
                return false;  // the new line is typed
            }
            completionList_->acceptSelected();
            return true;
        }
    }
    return false;
}

void EditorView::acceptSuggestion(const QString& name) {
    const int start = completionStart_;
    const int length = completionLength_;
    dismissSuggestions();
    QTextCursor cursor(textView_->document());
    cursor.setPosition(start);
    cursor.setPosition(start + length, QTextCursor::KeepAnchor);
    // Its own undo step: neither merged with the typing before nor with what follows.
    cursor.beginEditBlock();
    cursor.insertText(name);
    cursor.endEditBlock();
    textView_->setTextCursor(cursor);
    textView_->breakUndoCoalescing();
    dismissSuggestions();
}

void EditorView::dismissSuggestions() {
    if (completionList_->isVisible() || completionEligible_) completionList_->dismiss();
}

bool EditorView::eventFilter(QObject* watched, QEvent* event) {
    // Window-level events come first and say nothing of the widget hit: only widgets count.
    if (event->type() == QEvent::MouseButtonPress && completionList_->isVisible()) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget != completionList_ && !completionList_->isAncestorOf(widget)) dismissSuggestions();
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace quibsum

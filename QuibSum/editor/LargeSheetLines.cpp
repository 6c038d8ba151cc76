#include "QuibSum/editor/LargeSheetLines.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>
#include <algorithm>
#include <climits>
#include <cmath>

#include "QuibSum/editor/EditorView.h"
#include "QuibSum/editor/ResultColumn.h"

namespace quibsum {

namespace {

// Around the text, as the editor's text view leaves it.
constexpr int margin = 4;

}  // namespace

LargeSheetLines::LargeSheetLines(std::shared_ptr<const LineIndexedText> text, const EditorTheme& theme, QWidget* parent)
    : QAbstractScrollArea(parent),
      text_(std::move(text)),
      results_(std::make_shared<const CompactResults>()),
      theme_(theme),
      copy_([](const QString& t) { QGuiApplication::clipboard()->setText(t); }),
      schedule_(timerSchedule(this)) {
    setFocusPolicy(Qt::StrongFocus);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    setTheme(theme);
}

// ---- Text and results --------------------------------------------------------------------

void LargeSheetLines::setText(std::shared_ptr<const LineIndexedText> text,
                              std::shared_ptr<const CompactResults> results) {
    text_ = std::move(text);
    results_ = std::move(results);
    const std::size_t last = lineCount() - 1;
    caret_ = std::min(caret_, last);
    if (anchor_) anchor_ = std::min(*anchor_, last);
    if (copied_ && *copied_ > last) copied_.reset();
    updateScrollBars();
    viewport()->update();
}

void LargeSheetLines::setResults(std::shared_ptr<const CompactResults> results) {
    results_ = std::move(results);
    viewport()->update();
}

void LargeSheetLines::setTheme(const EditorTheme& theme) {
    theme_ = theme;
    setPalette(theme.sheetPalette());
    setAutoFillBackground(true);
    setFont(theme.textFont());
    const QString bars = theme.scrollBarStyleSheet();
    verticalScrollBar()->setStyleSheet(bars);
    horizontalScrollBar()->setStyleSheet(bars);
    updateScrollBars();
    viewport()->update();
}

QString LargeSheetLines::resultText(std::size_t line) const {
    const std::string_view text = results_->text(line);
    switch (results_->kind(line)) {
        case CompactResults::Kind::value:
            return QString::fromUtf8(text);
        case CompactResults::Kind::error:
            return engineMessageText(std::string(text));
        case CompactResults::Kind::note:
            break;
    }
    return {};
}

// ---- Geometry ----------------------------------------------------------------------------

int LargeSheetLines::lineHeight() const { return std::max(1, QFontMetrics(theme_.textFont()).lineSpacing()); }

std::pair<std::size_t, std::size_t> LargeSheetLines::visibleLines() const {
    const auto first = static_cast<std::size_t>(verticalScrollBar()->value());
    const auto rows = static_cast<std::size_t>((viewport()->height() - margin + lineHeight() - 1) / lineHeight());
    return {first, std::min(first + std::max<std::size_t>(rows, 1) - 1, lineCount() - 1)};
}

std::optional<std::size_t> LargeSheetLines::lineAt(int y) const {
    const std::size_t line = visibleLines().first + static_cast<std::size_t>(std::max(0, y - margin) / lineHeight());
    if (line >= lineCount()) return std::nullopt;
    return line;
}

int LargeSheetLines::resultsWidth() const {
    const int width = viewport()->width();
    const int widest = static_cast<int>(width * EditorView::maxResultsShare);
    const int usual = std::min(widest, EditorView::maxResultsWidth);
    const QFontMetricsF metrics(theme_.textFont());
    qreal wanted = 0;
    const auto [first, last] = visibleLines();
    for (std::size_t line = first; line <= last && line < results_->lineCount(); ++line)
        if (results_->kind(line) != CompactResults::Kind::note)
            wanted = std::max(wanted, metrics.horizontalAdvance(resultText(line)));
    return std::clamp(static_cast<int>(std::ceil(wanted + 2 * ResultColumn::sidePadding)), usual, widest);
}

QRect LargeSheetLines::textArea() const {
    const QRect all = viewport()->rect();
    return all.adjusted(0, 0, -resultsWidth(), 0);
}

QRect LargeSheetLines::resultsArea() const {
    const QRect all = viewport()->rect();
    return all.adjusted(all.width() - resultsWidth(), 0, 0, 0);
}

void LargeSheetLines::updateScrollBars() {
    const int rows = std::max(1, (viewport()->height() - margin) / lineHeight());
    QScrollBar* vertical = verticalScrollBar();
    const auto lines = static_cast<qsizetype>(lineCount());
    vertical->setRange(0, static_cast<int>(std::max<qsizetype>(0, lines - rows)));
    vertical->setPageStep(rows);
    vertical->setSingleStep(1);
    // A line's bytes are at least its characters: the bar reaches the end of the longest line
    // (of a fixed-width font), with a little to spare where it has other than ASCII.
    const QFontMetricsF metrics(theme_.textFont());
    const qreal longest = static_cast<qreal>(text_->longestLine()) * metrics.horizontalAdvance(u'0') + 2 * margin;
    const int hidden = static_cast<int>(std::min<qreal>(longest - textArea().width(), INT_MAX / 2));
    QScrollBar* horizontal = horizontalScrollBar();
    horizontal->setRange(0, std::max(0, hidden));
    horizontal->setPageStep(std::max(1, textArea().width()));
    horizontal->setSingleStep(std::max(1, static_cast<int>(metrics.horizontalAdvance(u'0') * 4)));
}

void LargeSheetLines::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void LargeSheetLines::scrollContentsBy(int, int) { viewport()->update(); }

// ---- Painting ----------------------------------------------------------------------------

void LargeSheetLines::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    painter.fillRect(event->rect(), theme_.color(PaletteRole::background));
    const QFont& font = theme_.textFont();
    painter.setFont(font);
    const QFontMetricsF metrics(font);
    const qreal digit = metrics.horizontalAdvance(u'0');
    const int height = lineHeight();
    const QRect text = textArea();
    const QRect results = resultsArea();
    const int scrolled = horizontalScrollBar()->value();
    const auto selection = selectedLines();
    const auto [first, last] = visibleLines();
    // Of a long line only what the text area shows is laid out (a fixed-width font puts each
    // character at its index).
    const auto skipped = static_cast<qsizetype>(std::max(0.0, (scrolled - margin) / digit - 1));
    const auto shown = static_cast<qsizetype>(text.width() / digit) + 3;
    for (std::size_t line = first; line <= last; ++line) {
        const int top = margin + static_cast<int>(line - first) * height;
        const bool selected = selection && line >= selection->first && line <= selection->second;
        painter.setClipRect(text);
        if (selected) painter.fillRect(QRect(0, top, text.width(), height), theme_.color(PaletteRole::selection));
        painter.setPen(theme_.color(selected ? PaletteRole::selectionText : PaletteRole::text));
        const QString whole = text_->lineText(line);
        const qsizetype from = std::min(skipped, whole.size());
        painter.drawText(QPointF(margin + from * digit - scrolled, top + metrics.ascent()), whole.mid(from, shown));

        const CompactResults::Kind kind = results_->kind(line);
        if (kind == CompactResults::Kind::note) continue;
        painter.setClipRect(results);
        const bool error = kind == CompactResults::Kind::error;
        const QString result = copied_ == line && !error ? ResultColumn::tr("Copied") : resultText(line);
        const QRectF row = QRectF(results.left(), top, results.width(), height)
                               .adjusted(ResultColumn::sidePadding, 0, -ResultColumn::sidePadding, 0);
        painter.setPen(theme_.color(error ? PaletteRole::error : PaletteRole::result));
        painter.drawText(row, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine,
                         fitResultText(result, error, metrics, row.width()));
    }
}

bool LargeSheetLines::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        // Over a shortened result, all of it.
        auto* help = static_cast<QHelpEvent*>(event);
        const std::optional<std::size_t> line = lineAt(help->pos().y());
        const QRect results = resultsArea();
        if (line && results.contains(help->pos())) {
            const QString whole = resultText(*line);
            const QFontMetricsF metrics(theme_.textFont());
            const qreal room = results.width() - 2 * ResultColumn::sidePadding;
            if (fitResultText(whole, results_->kind(*line) == CompactResults::Kind::error, metrics, room) != whole) {
                QToolTip::showText(help->globalPos(), whole, viewport());
                return true;
            }
        }
        QToolTip::hideText();
        return true;
    }
    return QAbstractScrollArea::viewportEvent(event);
}

// ---- Selection and copying ---------------------------------------------------------------

std::optional<std::pair<std::size_t, std::size_t>> LargeSheetLines::selectedLines() const {
    if (!anchor_) return std::nullopt;
    return std::pair{std::min(*anchor_, caret_), std::max(*anchor_, caret_)};
}

QString LargeSheetLines::selectedText() const {
    const auto lines = selectedLines();
    return lines ? text_->text(lines->first, lines->second) : QString();
}

void LargeSheetLines::copy() {
    if (selectedLines()) copy_(selectedText());
}

void LargeSheetLines::selectAll() {
    anchor_ = 0;
    caret_ = lineCount() - 1;
    viewport()->update();
}

void LargeSheetLines::moveCaret(std::size_t line, bool extend) {
    line = std::min(line, lineCount() - 1);
    if (!extend)
        anchor_.reset();
    else if (!anchor_)
        anchor_ = caret_;
    caret_ = line;
    ensureVisible(line);
    viewport()->update();
}

void LargeSheetLines::ensureVisible(std::size_t line) {
    // By as little as it takes.
    QScrollBar* vertical = verticalScrollBar();
    const auto first = static_cast<std::size_t>(vertical->value());
    const auto rows = static_cast<std::size_t>(vertical->pageStep());
    if (line < first)
        vertical->setValue(static_cast<int>(line));
    else if (line >= first + rows)
        vertical->setValue(static_cast<int>(line - rows + 1));
}

void LargeSheetLines::revealEnd() {
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    anchor_.reset();
    caret_ = lineCount() - 1;
    viewport()->update();
}

void LargeSheetLines::copyResult(std::size_t line) {
    if (results_->kind(line) != CompactResults::Kind::value) return;
    copy_(resultText(line));
    copied_ = line;
    viewport()->update();
    const std::uint64_t generation = ++copies_;
    schedule_(ResultColumn::copiedFeedback, [this, generation] {
        if (generation != copies_) return;  // a newer copy owns the feedback now
        copied_.reset();
        viewport()->update();
    });
}

void LargeSheetLines::keyPressEvent(QKeyEvent* event) {
    const bool extend = event->modifiers() & Qt::ShiftModifier;
    const auto page = static_cast<std::size_t>(verticalScrollBar()->pageStep());
    if (event->matches(QKeySequence::Copy)) return copy();
    if (event->matches(QKeySequence::SelectAll)) return selectAll();
    switch (event->key()) {
        case Qt::Key_Escape:
            emit cancelRequested();
            return;
        case Qt::Key_Up:
            return moveCaret(caret_ > 0 ? caret_ - 1 : 0, extend);
        case Qt::Key_Down:
            return moveCaret(caret_ + 1, extend);
        case Qt::Key_PageUp:
        case Qt::Key_PageDown: {
            // A page further, the current line at the same height in the view.
            QScrollBar* vertical = verticalScrollBar();
            const auto first = static_cast<std::size_t>(vertical->value());
            const std::size_t row = std::clamp(caret_, first, first + page - 1) - first;
            vertical->triggerAction(event->key() == Qt::Key_PageUp ? QAbstractSlider::SliderPageStepSub
                                                                   : QAbstractSlider::SliderPageStepAdd);
            return moveCaret(static_cast<std::size_t>(vertical->value()) + row, extend);
        }
        case Qt::Key_Home:
            return moveCaret(0, extend);
        case Qt::Key_End:
            return moveCaret(lineCount() - 1, extend);
        case Qt::Key_Left:
            horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
            return;
        case Qt::Key_Right:
            horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
            return;
        default:
            QAbstractScrollArea::keyPressEvent(event);
    }
}

void LargeSheetLines::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QAbstractScrollArea::mousePressEvent(event);
    setFocus(Qt::MouseFocusReason);
    const QPoint at = event->position().toPoint();
    const std::optional<std::size_t> line = lineAt(at.y());
    if (resultsArea().contains(at)) {
        if (line) copyResult(*line);
        return;
    }
    // A click selects its line; Shift+click, every line from the selection's start to it.
    const bool extend = event->modifiers() & Qt::ShiftModifier;
    if (!extend || !anchor_) anchor_ = extend ? caret_ : line.value_or(lineCount() - 1);
    moveCaret(line.value_or(lineCount() - 1), true);
}

void LargeSheetLines::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton) || !anchor_) return QAbstractScrollArea::mouseMoveEvent(event);
    // Dragged past the top or the bottom: the selection goes on a line at a time, scrolling.
    const int y = static_cast<int>(event->position().y());
    const auto [first, last] = visibleLines();
    std::size_t line = 0;
    if (y < 0)
        line = first > 0 ? first - 1 : 0;
    else if (y >= viewport()->height())
        line = last + 1;
    else
        line = lineAt(y).value_or(lineCount() - 1);
    moveCaret(line, true);
}

}  // namespace quibsum

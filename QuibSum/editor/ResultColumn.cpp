#include "QuibSum/editor/ResultColumn.h"

#include <QAccessible>
#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>
#include <QTextBlock>
#include <QTextLayout>
#include <QToolTip>
#include <algorithm>
#include <cmath>

#include "QuibSum/editor/SumTextView.h"

namespace quibsum {

QString fitResultText(const QString& text, bool error, const QFontMetricsF& metrics, qreal width) {
    if (metrics.horizontalAdvance(text) <= width) return text;
    const qsizetype space = error ? -1 : text.lastIndexOf(u' ');
    if (space > 0) {
        const QString tail = text.mid(space);
        const qreal room = width - metrics.horizontalAdvance(tail);
        const QString figure = metrics.elidedText(text.left(space), Qt::ElideMiddle, room);
        // An elided figure keeps at least a digit at each side of "…".
        if (room > 0 && figure.size() >= 3) return figure + tail;
    }
    return metrics.elidedText(text, Qt::ElideRight, width);
}

QString engineMessageText(const std::string& message) {
    return QCoreApplication::translate("EngineMessages", message.c_str());
}

QString resultText(const LineResult& result) {
    if (const auto* value = result.asValue()) return QString::fromStdString(value->display);
    if (const auto* error = result.asError()) return engineMessageText(error->message);
    return {};
}

ResultColumn::ResultColumn(SumTextView* text, Source source, QWidget* parent)
    : QWidget(parent),
      text_(text),
      source_(std::move(source)),
      copy_([](const QString& t) { QGuiApplication::clipboard()->setText(t); }),
      schedule_(timerSchedule(this)) {
    setAccessibleName(tr("Results. Click to copy."));
    setCursor(Qt::PointingHandCursor);
    setMouseTracking(false);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ResultColumn::setTheme(const EditorTheme& theme) {
    theme_ = theme;
    setFont(theme.textFont());
    update();
}

std::vector<ResultColumn::Row> ResultColumn::rows() const {
    std::vector<Row> rows;
    const qreal bottom = height();
    for (QTextBlock block = text_->firstVisibleTextBlock(); block.isValid(); block = block.next()) {
        const QRectF geometry = text_->blockGeometry(block);
        if (geometry.top() > bottom) break;
        if (!block.isVisible() || block.layout()->lineCount() == 0) continue;
        const int line = block.blockNumber();
        const LineResult* result = source_.result(line);
        if (!result || result->isNote()) continue;
        const QTextLine first = block.layout()->lineAt(0);
        Row row;
        row.line = line;
        row.rect = QRectF(0, geometry.top() + first.y(), width(), first.height());
        row.text = resultText(*result);
        row.error = result->isError();
        const auto* value = result->asValue();
        row.carriesRate = value && value->quantity.rate.has_value();
        rows.push_back(std::move(row));
    }
    return rows;
}

QString ResultColumn::shownText(const Row& row) const {
    if (copied_ == row.line && !row.error) return tr("Copied");
    return row.text;
}

void ResultColumn::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), theme_.color(PaletteRole::background));
    drawnRects_.clear();
    painter.setFont(theme_.textFont());
    const QFontMetricsF metrics(theme_.textFont());
    for (const Row& row : rows()) {
        if (!row.rect.intersects(event->rect())) continue;
        drawnRects_[row.line] = row.rect;
        painter.setPen(theme_.color(row.error ? PaletteRole::error : PaletteRole::result));
        const QRectF area = row.rect.adjusted(sidePadding, 0, -sidePadding, 0);
        const QString text = fitResultText(shownText(row), row.error, metrics, area.width());
        painter.drawText(area, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine, text);
    }
}

std::optional<ResultColumn::Row> ResultColumn::rowAt(QPointF point) const {
    for (Row& row : rows())
        if (row.rect.contains(point)) return std::move(row);
    return std::nullopt;
}

void ResultColumn::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    if (auto row = rowAt(event->position()); row && !row->error) copyResult(row->line);
}

bool ResultColumn::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        if (const std::optional<QString> tip = tooltip(help->pos()))
            QToolTip::showText(help->globalPos(), *tip, this);
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

QString ResultColumn::fittedText(const Row& row) const {
    return fitResultText(shownText(row), row.error, QFontMetricsF(theme_.textFont()),
                         row.rect.width() - 2 * sidePadding);
}

int ResultColumn::wantedWidth() const {
    const QFontMetricsF metrics(theme_.textFont());
    qreal widest = 0;
    for (const Row& row : rows()) widest = std::max(widest, metrics.horizontalAdvance(row.text));
    return static_cast<int>(std::ceil(widest + 2 * sidePadding));
}

std::optional<QString> ResultColumn::tooltip(QPointF point) const {
    const auto row = rowAt(point);
    if (!row) return std::nullopt;
    std::optional<QString> tip;
    if (fittedText(*row) != shownText(*row)) tip = shownText(*row);
    if (row->carriesRate) {
        const LineResult* result = source_.result(row->line);
        if (result && result->asValue()) {
            if (const std::optional<QString> source = source_.rateSource(result->asValue()->quantity))
                tip = tip ? *tip + u'\n' + *source : *source;
        }
    }
    return tip;
}

void ResultColumn::copyResult(int line) {
    std::optional<Row> found;
    for (Row& row : rows())
        if (row.line == line) found = std::move(row);
    // A line out of view still copies: its row is only off screen.
    if (!found) {
        const LineResult* result = source_.result(line);
        if (!result || !result->isValue()) return;
        found = Row{line, {}, resultText(*result), false, false};
    }
    if (found->error) return;

    copy_(found->text);
    const std::optional<int> previous = copied_;
    copied_ = line;
    if (previous && *previous != line) redrawLine(*previous);
    redrawLine(line);
    QAccessibleEvent announce(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&announce);
    const std::uint64_t generation = ++copies_;
    schedule_(copiedFeedback, [this, line, generation] {
        if (generation != copies_) return;  // a newer copy owns the feedback now
        copied_.reset();
        redrawLine(line);
    });
}

void ResultColumn::redrawLine(int line) {
    for (const Row& row : rows()) {
        if (row.line == line) {
            update(row.rect.toAlignedRect());
            return;
        }
    }
}

// The first visual row of each line in view, without the results' text: what a redraw needs.
template <typename Visit>
void ResultColumn::forEachLineInView(Visit visit) const {
    const qreal bottom = height();
    for (QTextBlock block = text_->firstVisibleTextBlock(); block.isValid(); block = block.next()) {
        const QRectF geometry = text_->blockGeometry(block);
        if (geometry.top() > bottom) break;
        if (!block.isVisible() || block.layout()->lineCount() == 0) continue;
        const QTextLine first = block.layout()->lineAt(0);
        if (!visit(block.blockNumber(), QRectF(0, geometry.top() + first.y(), width(), first.height()))) break;
    }
}

void ResultColumn::invalidateFrom(int line) {
    forEachLineInView([&](int at, const QRectF& rect) {
        if (at < line) return true;
        update(0, static_cast<int>(rect.top()), width(), height());
        return false;
    });
}

void ResultColumn::invalidate(const std::vector<std::size_t>& lines) {
    if (lines.empty()) return;
    QRegion changed;
    forEachLineInView([&](int line, const QRectF& rect) {
        if (std::binary_search(lines.begin(), lines.end(), static_cast<std::size_t>(line)))
            changed += rect.toAlignedRect();
        return true;
    });
    // Many scattered rows are drawn faster as the one area around them.
    constexpr int scatteredRows = 4;
    if (changed.rectCount() > scatteredRows)
        update(changed.boundingRect());
    else if (!changed.isEmpty())
        update(changed);
    // A row that became a note leaves no row behind to find: clear where it was drawn.
    for (std::size_t line : lines) {
        if (auto it = drawnRects_.find(static_cast<int>(line)); it != drawnRects_.end())
            update(it->second.toAlignedRect());
    }
}

}  // namespace quibsum

#include "QuibSum/editor/CompletionList.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace quibsum {

namespace {

constexpr int padding = 4;

}  // namespace

CompletionList::CompletionList(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAccessibleName(tr("Variable suggestions"));
    setCursor(Qt::PointingHandCursor);
    hide();
}

QSize CompletionList::listSize() const {
    const QFontMetrics metrics(theme_.textFont());
    int widest = 0;
    for (const QString& name : candidates_) widest = std::max(widest, metrics.horizontalAdvance(name));
    const int rows = std::min(static_cast<int>(candidates_.size()), visibleRowCount);
    return {std::max(150, widest + 24), rows * rowHeight + 2 * padding};
}

void CompletionList::show(const QStringList& candidates) {
    candidates_ = candidates;
    selectedIndex_ = 0;
    firstVisibleIndex_ = 0;
    resize(listSize());
    raise();
    QWidget::show();
    update();
}

void CompletionList::dismiss() {
    hide();
    emit dismissed();
}

void CompletionList::moveSelection(int by) {
    const auto count = static_cast<int>(candidates_.size());
    if (count == 0) return;
    selectedIndex_ = std::clamp(selectedIndex_ + by, 0, count - 1);
    if (selectedIndex_ < firstVisibleIndex_) firstVisibleIndex_ = selectedIndex_;
    if (selectedIndex_ >= firstVisibleIndex_ + visibleRowCount)
        firstVisibleIndex_ = selectedIndex_ - visibleRowCount + 1;
    firstVisibleIndex_ = std::clamp(firstVisibleIndex_, 0, std::max(0, count - visibleRowCount));
    update();
}

void CompletionList::acceptSelected() {
    if (selectedIndex_ < 0 || selectedIndex_ >= candidates_.size()) return;
    const QString name = candidates_[selectedIndex_];
    emit accepted(name);
}

void CompletionList::setTheme(const EditorTheme& theme) {
    theme_ = theme;
    setFont(theme.textFont());
    update();
}

void CompletionList::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(theme_.color(PaletteRole::separator));
    p.setBrush(theme_.color(PaletteRole::background));
    p.drawRoundedRect(frame, 6, 6);
    p.setFont(theme_.textFont());
    const int last = std::min(static_cast<int>(candidates_.size()), firstVisibleIndex_ + visibleRowCount);
    for (int i = firstVisibleIndex_; i < last; ++i) {
        const QRect row(padding, padding + (i - firstVisibleIndex_) * rowHeight, width() - 2 * padding, rowHeight);
        if (i == selectedIndex_) {
            p.setPen(Qt::NoPen);
            p.setBrush(theme_.color(PaletteRole::selection));
            p.drawRoundedRect(row, 4, 4);
        }
        p.setPen(theme_.color(i == selectedIndex_ ? PaletteRole::selectionText : PaletteRole::variable));
        p.drawText(row.adjusted(8, 0, -8, 0), Qt::AlignVCenter | Qt::AlignLeft, candidates_[i]);
    }
}

void CompletionList::mousePressEvent(QMouseEvent* event) {
    const int row = (static_cast<int>(event->position().y()) - padding) / rowHeight + firstVisibleIndex_;
    if (row < firstVisibleIndex_ ||
        row >= std::min(static_cast<int>(candidates_.size()), firstVisibleIndex_ + visibleRowCount))
        return;
    selectedIndex_ = row;
    acceptSelected();
}

}  // namespace quibsum

#include "QuibSum/editor/SumTextView.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPointer>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>
#include <optional>

#include "QuibSumCore/LineEnds.h"

namespace quibsum {

SumTextView::SumTextView(QWidget* parent) : QPlainTextEdit(parent) {
    setUndoRedoEnabled(true);
    setTabChangesFocus(false);
    setFrameShape(QFrame::NoFrame);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    // Always there, so the results column never jumps sideways as the sheet grows.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setCenterOnScroll(false);
    setAccessibleName(tr("Calculator sheet"));
    document()->setDocumentMargin(10);
}

void SumTextView::setSideColumn(QWidget* column, int width) {
    side_ = column;
    if (width != sideWidth_) {
        sideWidth_ = width;
        setViewportMargins(0, 0, sideWidth_, 0);
    }
    placeSideColumn();
}

void SumTextView::placeSideColumn() {
    if (!side_) return;
    const QRect area = contentsRect();
    const int right = area.right() - verticalScrollBar()->sizeHint().width();
    side_->setGeometry(QRect(right - sideWidth_ + 1, area.top(), sideWidth_, area.height()));
}

std::pair<int, int> SumTextView::visibleLines() const {
    QTextBlock block = firstVisibleBlock();
    if (!block.isValid()) return {0, 0};
    const int first = block.blockNumber();
    int last = first;
    const qreal bottom = viewport()->height();
    for (; block.isValid(); block = block.next()) {
        if (blockGeometry(block).top() > bottom) break;
        last = block.blockNumber();
    }
    return {first, last};
}

void SumTextView::resizeEvent(QResizeEvent* event) {
    QPlainTextEdit::resizeEvent(event);
    placeSideColumn();
}

QMenu* SumTextView::themedContextMenu(const QPoint& position) {
    QMenu* menu = createStandardContextMenu(position);
    menu->setPalette(palette());
    return menu;
}

void SumTextView::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = themedContextMenu(event->pos());
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

bool SumTextView::canInsertFromMimeData(const QMimeData* source) const { return source->hasText(); }

void SumTextView::insertFromMimeData(const QMimeData* source) {
    if (!source->hasText()) return;
    const QString text = LineEnds::withLineFeeds(source->text());
    const QTextCursor cursor = textCursor();
    const qsizetype after =
        document()->characterCount() - 1 - (cursor.selectionEnd() - cursor.selectionStart()) + text.size();
    if (after > maxTextLength) {
        QApplication::beep();
        return;
    }
    // One edit block, so that the whole paste is one undo step and one change.
    QTextCursor edit = textCursor();
    edit.beginEditBlock();
    edit.insertText(text);
    edit.endEditBlock();
    setTextCursor(edit);
    ensureCursorVisible();
}

namespace {

// Reports the start of an input event now and its end when it goes out of scope.
class InputScope {
public:
    explicit InputScope(SumTextView* view) : view_(view) { emit view->inputStarted(); }
    ~InputScope() {
        if (view_) emit view_->inputFinished();
    }
    InputScope(const InputScope&) = delete;
    InputScope& operator=(const InputScope&) = delete;

private:
    QPointer<SumTextView> view_;  // a key may close the sheet it was typed into
};

}  // namespace

void SumTextView::keyPressEvent(QKeyEvent* event) {
    const InputScope input(this);
    const Qt::KeyboardModifiers mods =
        event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    const int key = event->key();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && mods == Qt::ShiftModifier) {
        textCursor().insertText(QStringLiteral("\n"));
        ensureCursorVisible();
        return;
    }
    if (key == Qt::Key_C && mods == (Qt::ShiftModifier | Qt::ControlModifier)) {
        emit copyResultRequested();
        return;
    }
    std::optional<CompletionCommand> command;
    if (mods == Qt::NoModifier) {
        switch (key) {
            case Qt::Key_Escape:
                command = CompletionCommand::cancel;
                break;
            case Qt::Key_Up:
                command = CompletionCommand::moveUp;
                break;
            case Qt::Key_Down:
                command = CompletionCommand::moveDown;
                break;
            case Qt::Key_Tab:
                command = CompletionCommand::insertTab;
                break;
            case Qt::Key_Return:
            case Qt::Key_Enter:
                command = CompletionCommand::insertNewline;
                break;
            default:
                break;
        }
    }
    if (command && completionCommand && completionCommand(*command)) return;
    if (command == CompletionCommand::cancel) {
        emit cancelRequested();
        return;
    }
    const QString text = event->text();
    const bool printable = !text.isEmpty() && !text.front().isNull() && text.front().isPrint();
    typeSeparately(printable, [&] { QPlainTextEdit::keyPressEvent(event); });
    if (printable) emit textTyped(text);
}

void SumTextView::inputMethodEvent(QInputMethodEvent* event) {
    const InputScope input(this);
    const QString committed = event->commitString();
    typeSeparately(!committed.isEmpty(), [&] { QPlainTextEdit::inputMethodEvent(event); });
    if (!committed.isEmpty()) emit textTyped(committed);
    emit compositionChanged();
}

template <typename Insert>
void SumTextView::typeSeparately(bool inserts, Insert insert) {
    if (!inserts || !separateNextTyping_) return insert();
    separateNextTyping_ = false;
    // Qt joins text typed right after an edit block's insertion into that block's undo step;
    // typed inside a block of its own, it is not joined, and what is typed next joins it.
    QTextCursor block(document());
    block.beginEditBlock();
    insert();
    block.endEditBlock();
}

bool SumTextView::hasMarkedText() const {
    const QTextLayout* layout = textCursor().block().layout();
    return layout && !layout->preeditAreaText().isEmpty();
}

}  // namespace quibsum

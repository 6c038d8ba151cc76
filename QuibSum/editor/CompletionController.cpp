#include "QuibSum/editor/CompletionController.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <algorithm>

#include "QuibSum/editor/CompletionList.h"
#include "QuibSum/editor/NameFolding.h"
#include "QuibSumCore/Sheet.h"

namespace quibsum {

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

CompletionController::CompletionController(SumTextView* text, QWidget* host, Names names)
    : QObject(host), text_(text), host_(host), list_(new CompletionList(host)), names_(std::move(names)) {
    connect(list_, &CompletionList::accepted, this, &CompletionController::accept);
    connect(list_, &CompletionList::dismissed, this, [this] {
        eligible_ = false;
        qApp->removeEventFilter(this);
    });
    connect(text_, &SumTextView::inputStarted, this, [this] { inInput_ = true; });
    connect(text_, &SumTextView::inputFinished, this, [this] {
        inInput_ = false;
        if (std::exchange(refreshPending_, false)) refresh();
    });
    connect(text_, &SumTextView::textTyped, this, &CompletionController::textTyped);
    connect(text_, &SumTextView::compositionChanged, this, &CompletionController::refresh);
    connect(text_, &QPlainTextEdit::cursorPositionChanged, this, &CompletionController::refresh);
    connect(text_, &QPlainTextEdit::updateRequest, this, [this](const QRect&, int dy) {
        if (dy != 0 && list_->isVisible()) dismiss();
    });
}

CompletionController::~CompletionController() { qApp->removeEventFilter(this); }

void CompletionController::textTyped(const QString& text) {
    if (text.isEmpty()) return dismiss();
    const char32_t last = pointBefore(text, static_cast<int>(text.size())).first;
    if ((!NameFolding::isNameCharacter(last) && last != U' ') || text_->hasMarkedText()) return dismiss();
    if (!eligible_) qApp->installEventFilter(this);  // a click elsewhere closes the list
    eligible_ = true;
    refresh();
}

void CompletionController::refresh() {
    if (!eligible_) return;
    if (inInput_) {
        refreshPending_ = true;
        return;
    }
    if (!host_->isVisible() || !text_->hasFocus()) return;
    emit refreshed();
    const QTextCursor cursor = text_->textCursor();
    if (text_->hasMarkedText() || cursor.hasSelection()) return dismiss();
    const Sheet* names = names_();
    if (!names) return dismiss();
    show(names->variableNames(static_cast<std::ptrdiff_t>(cursor.blockNumber())));
}

void CompletionController::show(const std::vector<std::string>& names) {
    if (names.empty()) return dismiss();
    const QTextCursor cursor = text_->textCursor();
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
    if (start >= caret) return dismiss();
    // Never inside a word.
    if (caret < text.size() && NameFolding::isNameCharacter(pointAt(text, caret).first)) return dismiss();

    const QString prefix = text.mid(start, caret - start);
    const QString folded = NameFolding::fold(prefix);
    QStringList matches;
    for (const std::string& name : names) {
        const QString candidate = QString::fromStdString(name);
        if (candidate != prefix && NameFolding::fold(candidate).startsWith(folded)) matches.append(candidate);
    }
    if (matches.isEmpty()) return dismiss();
    start_ = cursor.block().position() + start;
    length_ = caret - start;
    list_->show(matches);
    place();
}

void CompletionController::place() {
    if (!list_->isVisible()) return;
    const QRect caret = text_->cursorRect();
    const QPoint below = text_->viewport()->mapTo(host_, caret.bottomLeft());
    const QSize size = list_->listSize();
    const int x = std::clamp(below.x() - 8, 0, std::max(0, host_->width() - size.width()));
    int y = below.y() + 2;
    if (y + size.height() > host_->height())
        y = std::max(0, text_->viewport()->mapTo(host_, caret.topLeft()).y() - size.height() - 2);
    list_->setGeometry(x, y, size.width(), size.height());
}

bool CompletionController::command(SumTextView::CompletionCommand command) {
    using Command = SumTextView::CompletionCommand;
    if (text_->hasMarkedText()) return false;
    if (!list_->isVisible()) {
        if (command == Command::cancel && eligible_) {
            dismiss();
            return true;
        }
        return false;
    }
    switch (command) {
        case Command::cancel:
            dismiss();
            return true;
        case Command::moveUp:
            list_->moveSelection(-1);
            return true;
        case Command::moveDown:
            list_->moveSelection(1);
            return true;
        case Command::insertTab:
            list_->acceptSelected();
            return true;
        case Command::insertNewline: {
            const QTextCursor cursor = text_->textCursor();
            const int at = cursor.positionInBlock();
            if (at > 0 && cursor.block().text().at(at - 1) == u' ') {
                dismiss();
                return false;  // the new line is typed
            }
            list_->acceptSelected();
            return true;
        }
    }
    return false;
}

void CompletionController::accept(const QString& name) {
    const int start = start_;
    const int length = length_;
    dismiss();
    QTextCursor cursor(text_->document());
    cursor.setPosition(start);
    cursor.setPosition(start + length, QTextCursor::KeepAnchor);
    // Its own undo step: neither merged with the typing before nor with what follows.
    cursor.beginEditBlock();
    cursor.insertText(name);
    cursor.endEditBlock();
    text_->setTextCursor(cursor);
    text_->breakUndoCoalescing();
    dismiss();
}

void CompletionController::dismiss() {
    if (list_->isVisible() || eligible_) list_->dismiss();
}

bool CompletionController::eventFilter(QObject* watched, QEvent* event) {
    // Window-level events come first and say nothing of the widget hit: only widgets count.
    if (event->type() == QEvent::MouseButtonPress && list_->isVisible()) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget != list_ && !list_->isAncestorOf(widget)) dismiss();
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace quibsum

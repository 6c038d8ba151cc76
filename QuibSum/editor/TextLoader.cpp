#include "QuibSum/editor/TextLoader.h"

#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTimer>
#include <algorithm>
#include <chrono>

namespace quibsum {

namespace {

// Between two parts of a long text, input and painting get their turn.
constexpr std::chrono::milliseconds partInterval{1};

}  // namespace

TextLoader::TextLoader(QPlainTextEdit* view, QObject* parent) : QObject(parent), view_(view) {}

QString TextLoader::forDisplay(const QString& text, bool& shortened) {
    shortened = false;
    QString shown;
    qsizetype start = 0;
    while (start <= text.size()) {
        qsizetype end = text.indexOf(u'\n', start);
        if (end < 0) end = text.size();
        const qsizetype length = end - start;
        if (length > maxEditableLineLength) {
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

// The parts go in with the undo history off, or every line of a long text would stay behind
// in it as a step to undo.
void TextLoader::load(const QString& text) {
    const QString shown = forDisplay(text, uneditableLines_);
    ++loads_;
    loading_ = true;
    view_->setUndoRedoEnabled(false);
    if (shown.size() <= partLength) {
        view_->setPlainText(shown);
        unloaded_.clear();
        finish(false);
        return;
    }
    qsizetype cut = shown.indexOf(u'\n', partLength);
    if (cut < 0) cut = shown.size();
    view_->setReadOnly(true);
    view_->setPlainText(shown.left(cut));
    unloaded_ = shown.mid(cut);
    QTimer::singleShot(partInterval, this, [this, load = loads_] { loadNextPart(load); });
}

void TextLoader::loadNextPart(std::uint64_t load) {
    if (load != loads_ || !loading_) return;
    qsizetype cut = unloaded_.indexOf(u'\n', std::min(unloaded_.size(), partLength));
    if (cut < 0) cut = unloaded_.size();
    QTextCursor end(view_->document());
    end.movePosition(QTextCursor::End);
    end.insertText(unloaded_.left(cut));
    unloaded_.remove(0, cut);
    if (!unloaded_.isEmpty()) {
        QTimer::singleShot(partInterval, this, [this, load] { loadNextPart(load); });
        return;
    }
    finish(true);
}

void TextLoader::finish(bool inParts) {
    loading_ = false;
    view_->document()->clearUndoRedoStacks();
    view_->setUndoRedoEnabled(true);
    view_->document()->setModified(false);
    emit loaded(inParts);
}

}  // namespace quibsum

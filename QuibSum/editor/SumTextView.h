#pragma once
// SumTextView: the plain-text view a sheet is typed into. Pasted and dropped text arrives as
// plain text with its line ends made "\n"; Shift+Return starts a new line like Return (a sheet
// has no soft line breaks). The results column sits in its right margin, between the text and
// the scroll bar, so that rows stay level with their lines while scrolling.

#include <QPlainTextEdit>
#include <QTextBlock>
#include <functional>
#include <utility>

namespace quibsum {

class SumTextView : public QPlainTextEdit {
    Q_OBJECT
public:
    // A sheet's text is at most this long; a paste that would pass it is refused whole.
    static constexpr qsizetype maxTextLength = 64 * 1024 * 1024;

    explicit SumTextView(QWidget* parent = nullptr);

    // Places `column` in the right margin, `width` pixels wide.
    void setSideColumn(QWidget* column, int width);
    int sideColumnWidth() const { return sideWidth_; }

    // The layout geometry the results column draws from.
    QTextBlock firstVisibleTextBlock() const { return firstVisibleBlock(); }
    QRectF blockGeometry(const QTextBlock& block) const {
        return blockBoundingGeometry(block).translated(contentOffset());
    }
    // The first and last line in view.
    std::pair<int, int> visibleLines() const;

    enum class CompletionCommand { cancel, moveUp, moveDown, insertTab, insertNewline };

    // Text being composed by an input method (not yet committed) is in the view.
    bool hasMarkedText() const;
    // The next text typed or committed starts an undo step of its own instead of joining the
    // last change (which Qt would do for text typed right after it).
    void breakUndoCoalescing() { separateNextTyping_ = true; }

    // A command key, offered to the suggestion list first: true when it took it.
    std::function<bool(CompletionCommand)> completionCommand;

signals:
    // Shift+Ctrl+C: copy the result of the line holding the selection's start.
    void copyResultRequested();
    // Escape that the suggestion list did not take.
    void cancelRequested();
    // Text was typed or committed by an input method.
    void textTyped(const QString& text);
    // Composed text appeared, changed or went away.
    void compositionChanged();
    // A key or input method event is being handled: the changes it makes to the text and the
    // caret are reported between the two.
    void inputStarted();
    void inputFinished();

public:
    // The context menu at `position`, in the sheet's colours: a menu is a window of its own
    // and would otherwise take the desktop's.
    QMenu* themedContextMenu(const QPoint& position);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void placeSideColumn();

    // Runs `insert` (Qt's own typing) as an undo step of its own when one was asked for.
    template <typename Insert>
    void typeSeparately(bool inserts, Insert insert);

    QWidget* side_ = nullptr;
    int sideWidth_ = 0;
    bool separateNextTyping_ = false;
};

}  // namespace quibsum

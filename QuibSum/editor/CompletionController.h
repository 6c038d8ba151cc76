#pragma once
// CompletionController: offers the variable names assigned above the caret's line while a
// name is typed, in a CompletionList under the caret, and takes the keys that move through the
// list, accept from it or close it. The list opens once a name character or a space is typed,
// and closes on a click elsewhere, a scroll, a selection, an input method's composition, or a
// key that is no part of a name.
//
// The suggestions follow the text, the caret and the sheet's names. While the text view
// handles one key or input method event they are worked out once, when it is done: one
// keystroke changes the text, moves the caret and reports what was typed.

#include <QObject>
#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "QuibSum/editor/SumTextView.h"

class QWidget;

namespace quibsum {

class CompletionList;
class Sheet;

class CompletionController : public QObject {
    Q_OBJECT
public:
    // The sheet whose names are offered; null while there is none to ask (the list then
    // closes).
    using Names = std::function<const Sheet*()>;

    // The list is placed in `host`, which holds the text view.
    CompletionController(SumTextView* text, QWidget* host, Names names);
    ~CompletionController() override;

    CompletionList* list() const { return list_; }
    // Suggestions may open: a name character or a space was typed since the list last closed.
    bool isEligible() const { return eligible_; }

    // Works the suggestions out again for the text, the caret and the sheet as they are now
    // (once the text view's current input event is done, when one is under way).
    void refresh();
    // A command key, offered before the text view takes it: true when the list took it.
    bool command(SumTextView::CompletionCommand command);
    void dismiss();
    // Puts the open list under the caret again (after the host was resized).
    void place();

signals:
    // The suggestions were worked out afresh.
    void refreshed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void textTyped(const QString& text);
    void show(const std::vector<std::string>& names);
    void accept(const QString& name);

    SumTextView* text_;
    QWidget* host_;
    CompletionList* list_;
    Names names_;
    // The typed prefix the suggestions would replace (document position, UTF-16 length).
    int start_ = 0;
    int length_ = 0;
    bool eligible_ = false;
    // Inside the text view's input event: refreshes wait for its end.
    bool inInput_ = false;
    bool refreshPending_ = false;
};

}  // namespace quibsum

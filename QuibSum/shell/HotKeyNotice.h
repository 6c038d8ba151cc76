#pragma once
// HotKeyNotice: tells the user that the global hot key does not work on this desktop and
// offers the one action that fixes it: the binding line to copy on sway, a button that adds
// the shortcut to GNOME's keyboard settings, elsewhere the command to bind. The sheet window
// shows it once at its bottom, dismissible; the Shortcut pane of the settings shows it for good.

#include <QFrame>

#include "QuibSum/shell/hotkey/HotKeyAdvice.h"

class QLabel;
class QPushButton;
class QToolButton;

namespace quibsum {

class GnomeShortcut;
class SumSettings;

class HotKeyNotice : public QFrame {
    Q_OBJECT
public:
    // `gnome` is used on GNOME only and must outlive the notice.
    HotKeyNotice(SumSettings& settings, HotKeyAdvice::Desktop desktop, const GnomeShortcut* gnome, bool dismissible,
                 QWidget* parent = nullptr);

    // Reads the combination and, on GNOME, whether the shortcut is there, anew.
    void refresh();

    QLabel* message() const { return message_; }
    QLabel* line() const { return line_; }
    QPushButton* action() const { return action_; }
    QToolButton* dismiss() const { return dismiss_; }

signals:
    // The close button was clicked.
    void dismissed();
    // The GNOME shortcut was added: the hot key works now.
    void shortcutAdded();

private:
    void act();

    SumSettings& settings_;
    HotKeyAdvice::Desktop desktop_;
    const GnomeShortcut* gnome_;
    QLabel* message_;
    QLabel* line_;
    QPushButton* action_;
    QToolButton* dismiss_;
};

}  // namespace quibsum

#pragma once
// WindowPin: pins a top-level window, above other windows and on every workspace, or returns
// it to a normal window on the workspace in view. The sheet window and the settings window
// each own one.
//
// On X11 the window manager is asked once the window is on screen, and again every time it is
// shown: it forgets the workspaces of a window it unmaps, and Qt makes a new native window
// when the stays-on-top hint changed while it was hidden.

#include <QObject>

class QWidget;

namespace quibsum {

class WindowPin : public QObject {
    Q_OBJECT
public:
    explicit WindowPin(QWidget* window);

    bool isPinned() const { return pinned_; }
    // Applies the state now, to a shown window as well as a hidden one, which keeps being shown.
    void setPinned(bool pinned);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void tellWindowManager();

    QWidget* window_;
    bool pinned_ = false;
    bool told_ = false;  // since the window was last shown
};

}  // namespace quibsum

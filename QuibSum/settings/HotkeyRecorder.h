#pragma once
// HotkeyRecorder: the button that captures the next key combination for the global hot key.
// Clicked, it shows "Press shortcut…" and takes the next key press, before any shortcut of
// the window can claim it (so Ctrl combinations are recorded, not run); Escape cancels. Lone
// modifier presses are waited through. The press is handed on in the stored terms of the hot
// key; whether it makes a usable hot key is the settings' decision.

#include <QPushButton>
#include <optional>

#include "QuibSum/storage/HotKeyPress.h"

class QKeyEvent;

namespace quibsum {

class HotkeyRecorder : public QPushButton {
    Q_OBJECT
public:
    explicit HotkeyRecorder(QWidget* parent = nullptr);

    bool isRecording() const { return recording_; }
    void startRecording();
    // The title while idle (the current hot key's label).
    void setLabel(const QString& label);

    // A key event in the stored terms: the key read from the X keysym when the platform gives
    // one, else from Qt's key. Absent for keys a hot key cannot use.
    static std::optional<HotKeyPress> pressFor(const QKeyEvent& event);

signals:
    // A combination was recorded.
    void recorded(const quibsum::HotKeyPress& press);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void stopRecording();

    bool recording_ = false;
    QString label_;
};

}  // namespace quibsum

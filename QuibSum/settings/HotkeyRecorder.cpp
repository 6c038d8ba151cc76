#include "QuibSum/settings/HotkeyRecorder.h"

#include <QKeyEvent>
#include <QKeySequence>

#include "QuibSum/storage/HotKeyCombination.h"

namespace quibsum {

namespace {

bool isModifierKey(int key) {
    switch (key) {
        case Qt::Key_Shift:
        case Qt::Key_Control:
        case Qt::Key_Alt:
        case Qt::Key_AltGr:
        case Qt::Key_Meta:
        case Qt::Key_Super_L:
        case Qt::Key_Super_R:
        case Qt::Key_Hyper_L:
        case Qt::Key_Hyper_R:
        case Qt::Key_CapsLock:
        case Qt::Key_NumLock:
            return true;
        default:
            return false;
    }
}

// The X keysym of a Qt key, for platforms that give none (Wayland, offscreen). Latin-1 keys
// share their codes with their keysyms.
std::optional<std::uint32_t> keysymForQtKey(int key) {
    if (key >= 0x20 && key <= 0x7e) return static_cast<std::uint32_t>(key);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12) return 0xffbeu + static_cast<std::uint32_t>(key - Qt::Key_F1);
    switch (key) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return 0xff0d;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return 0xff09;
        case Qt::Key_Backspace:
            return 0xff08;
        case Qt::Key_Escape:
            return 0xff1b;
        case Qt::Key_Insert:
            return 0xff63;
        case Qt::Key_Delete:
            return 0xffff;
        case Qt::Key_Home:
            return 0xff50;
        case Qt::Key_End:
            return 0xff57;
        case Qt::Key_PageUp:
            return 0xff55;
        case Qt::Key_PageDown:
            return 0xff56;
        case Qt::Key_Left:
            return 0xff51;
        case Qt::Key_Up:
            return 0xff52;
        case Qt::Key_Right:
            return 0xff53;
        case Qt::Key_Down:
            return 0xff54;
        default:
            return std::nullopt;
    }
}

}  // namespace

HotkeyRecorder::HotkeyRecorder(QWidget* parent) : QPushButton(parent) {
    setToolTip(tr("Record shortcut"));
    setAccessibleName(tr("Record shortcut"));
    connect(this, &QPushButton::clicked, this, &HotkeyRecorder::startRecording);
}

void HotkeyRecorder::setLabel(const QString& label) {
    label_ = label;
    if (!recording_) setText(label);
}

void HotkeyRecorder::startRecording() {
    recording_ = true;
    setText(tr("Press shortcut…"));
    setFocus(Qt::OtherFocusReason);
}

void HotkeyRecorder::stopRecording() {
    recording_ = false;
    setText(label_);
}

std::optional<HotKeyPress> HotkeyRecorder::pressFor(const QKeyEvent& event) {
    std::optional<std::uint32_t> code;
    // On xcb the native virtual key is the keysym, which names the key whatever the layout's
    // Qt key says (a Shift-ed digit is still its digit's key only there through its keysym).
    if (event.nativeVirtualKey() != 0) code = HotKeyCombination::codeForKeysym(event.nativeVirtualKey());
    if (!code) {
        if (std::optional<std::uint32_t> keysym = keysymForQtKey(event.key()))
            code = HotKeyCombination::codeForKeysym(*keysym);
    }
    if (!code) return std::nullopt;

    HotKeyPress press;
    press.keyCode = *code;
    const Qt::KeyboardModifiers held = event.modifiers();
    if (held & Qt::ShiftModifier) press.modifiers |= HotKeyPress::shift;
    if (held & Qt::ControlModifier) press.modifiers |= HotKeyPress::control;
    if (held & Qt::AltModifier) press.modifiers |= HotKeyPress::option;
    if (held & Qt::MetaModifier) press.modifiers |= HotKeyPress::command;
    if (held & (Qt::KeypadModifier | Qt::GroupSwitchModifier)) press.modifiers |= HotKeyPress::other;
    press.characters = QKeySequence(event.key()).toString(QKeySequence::PortableText);
    return press;
}

bool HotkeyRecorder::event(QEvent* event) {
    // Accepting the override keeps the window's shortcuts (Ctrl+W, Ctrl+Q…) from running, and
    // the press arrives as an ordinary key press instead.
    if (recording_ && event->type() == QEvent::ShortcutOverride) {
        event->accept();
        return true;
    }
    return QPushButton::event(event);
}

void HotkeyRecorder::keyPressEvent(QKeyEvent* event) {
    if (!recording_) {
        QPushButton::keyPressEvent(event);
        return;
    }
    event->accept();
    if (isModifierKey(event->key())) return;  // the combination is still being held down
    stopRecording();
    clearFocus();
    if (event->key() == Qt::Key_Escape) return;
    if (std::optional<HotKeyPress> press = pressFor(*event)) emit recorded(*press);
}

void HotkeyRecorder::focusOutEvent(QFocusEvent* event) {
    if (recording_) stopRecording();
    QPushButton::focusOutEvent(event);
}

}  // namespace quibsum

#pragma once
// Where the X input focus is. A window manager that moves or resizes a window grabs the
// keyboard, which Qt reports as the application losing focus although the focus stays where
// it was: asking the server tells such a grab from another window taking the focus.

class QWidget;

namespace quibsum::X11Focus {

enum class Holder {
    window,   // the window or one of its children
    other,    // another window, or none
    unknown,  // not on X11
};

Holder holder(const QWidget* window);

}  // namespace quibsum::X11Focus

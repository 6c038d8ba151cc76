#pragma once
// Asks an X11 window manager to show a mapped window on every workspace (sticky, on desktop
// 0xFFFFFFFF), or on the workspace in view only again. Does nothing on other platforms, where
// the compositor decides.

class QWidget;

namespace quibsum::X11Workspaces {

void setOnAllWorkspaces(QWidget* window, bool all);

}  // namespace quibsum::X11Workspaces

#pragma once
// Asks an X11 window manager to show a window on every workspace (or on the current one only
// again). Does nothing on other platforms, where the compositor decides.

class QWidget;

namespace quibsum::X11Workspaces {

void setOnAllWorkspaces(QWidget* window, bool all);

}  // namespace quibsum::X11Workspaces

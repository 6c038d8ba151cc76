#pragma once
// The desktop application: the sheet window on the stored sheets, with live rates.

namespace quibsum {

class HotKey;
class SumRuntime;
class SumWindow;

// What a press of the global hot key does: the window shows or hides, rates are refreshed when
// due, and the activation token that came with the press (Wayland) lets the window come forward.
void toggleOnHotKey(HotKey& hotKey, SumWindow& window, SumRuntime& runtime);

// Runs the application until it quits; returns the exit status. A start-up failure (an
// unusable sheets folder, unusable rates, a sheet that cannot be read) is shown in an alert
// and ends it with status 1. `hidden` starts without showing the window.
int runDesktopApp(int& argc, char** argv, bool hidden);

}  // namespace quibsum

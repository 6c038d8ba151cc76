#pragma once
// The desktop application: the sheet window on the stored sheets, with live rates.

namespace quibsum {

// Runs the application until it quits; returns the exit status. A start-up failure (an
// unusable sheets folder, unusable rates, a sheet that cannot be read) is shown in an alert
// and ends it with status 1. `hidden` starts without showing the window.
int runDesktopApp(int& argc, char** argv, bool hidden);

}  // namespace quibsum

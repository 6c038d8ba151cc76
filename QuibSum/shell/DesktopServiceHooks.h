#pragma once
// The desktop application behind its bus service: the window, the sheets and the rates.

#include "QuibSum/bus/SumService.h"

namespace quibsum {

class SheetStore;
class SumRuntime;
class SumWindow;

// Showing (or toggling into view) starts an unforced rate refresh, as the hot key does; an
// append writes the quick sheet at once, shows it in the window with the caret after the new
// text, and refreshes likewise; a calculation gives a due refresh a head start and evaluates
// with the current settings and rates. The objects must outlive the service's use of them.
SumService::Hooks desktopServiceHooks(SheetStore& store, SumRuntime& runtime, SumWindow& window);

}  // namespace quibsum

#pragma once
// The desktop application behind the desktop's search: answers from the user's settings and
// the rates in hand, the clipboard, and the quick sheet in the window.

#include "QuibSum/search/SearchActions.h"

namespace quibsum {

class SheetStore;
class SumRuntime;
class SumWindow;

// An answer never waits for the network: it evaluates with the rates the store has and starts
// an unforced refresh beside it, for the next search. Opening appends the expression to the
// quick sheet (on disk first) and shows it in the window. The objects must outlive the actions.
SearchActions desktopSearchActions(SheetStore& store, SumRuntime& runtime, SumWindow& window);

}  // namespace quibsum

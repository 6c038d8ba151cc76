#pragma once
// One running application per session and data folder: the first `quibsum` claims the
// instance's name on the session bus; a later one hands over to it and ends.

#include <optional>

namespace quibsum {

class SumService;

// Claims the name for this process with `service`. Returns none when this process goes on as
// the application: it holds the name, or the session has no bus (then it runs alone, with a
// warning on standard error). Returns the exit status when another process holds the name:
// that one has been asked to show its window (unless `hidden`, a login start, which has
// nothing to add).
std::optional<int> claimSingleInstance(SumService& service, bool hidden);

}  // namespace quibsum

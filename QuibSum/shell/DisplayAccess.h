#pragma once
// Whether the window can reach a display before Qt is asked to open one: Qt ends the process
// with an abort when its platform cannot connect, so a missing or unreachable display is found
// here and told in one line instead.

#include <optional>
#include <string>

namespace quibsum::DisplayAccess {

// Why no window can be shown (no display, or one that cannot be reached); none when the
// platform Qt will use is reachable, or is one that needs no display (offscreen and the like).
std::optional<std::string> whyUnreachable();

}  // namespace quibsum::DisplayAccess

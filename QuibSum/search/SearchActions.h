#pragma once
// SearchActions: what the desktop's search providers ask of the running application. Both
// providers answer from the same actions, so GNOME Shell and KRunner show the same results.

#include <QString>
#include <functional>
#include <optional>

#include "QuibSum/search/SearchAnswer.h"

namespace quibsum {

struct SearchActions {
    // The answer for one expression, with the rates in hand; nothing when there is none.
    std::function<std::optional<SearchAnswer>(const QString& expression)> answer;
    // Puts a result on the clipboard.
    std::function<void(const QString& text)> copy;
    // Appends the expression to the quick sheet and shows the window on it.
    std::function<void(const QString& expression)> open;
};

}  // namespace quibsum

#pragma once
// HotKeyAdvice: what to tell a user whose desktop gives programs no global hot key, and the
// one thing that fixes it there: on sway the exact binding line for its configuration, on
// GNOME a custom shortcut in its own keyboard settings (GnomeShortcut writes it), elsewhere
// the command to bind in the desktop's keyboard settings.

#include <QString>
#include <optional>

#include "QuibSum/storage/HotKeyCombination.h"

namespace quibsum {

struct HotKeyAdvice {
    enum class Desktop { gnome, sway, other };

    // From XDG_CURRENT_DESKTOP (a colon-separated list) and whether SWAYSOCK is set.
    static Desktop desktopFor(const QString& currentDesktop, bool swaySocket);
    static Desktop currentDesktop();

    // "bindsym Ctrl+Mod1+space exec quibsum toggle"; absent for a key with no name.
    static std::optional<QString> swayLine(const HotKeyCombination& combination);
    // GNOME's accelerator text, "<Control><Alt>space"; absent for a key with no name.
    static std::optional<QString> gnomeBinding(const HotKeyCombination& combination);
    // The advice in a sentence or two, naming the combination.
    static QString text(Desktop desktop, const HotKeyCombination& combination);

private:
    // The key's X keysym name ("space"), as the portal trigger ends with it.
    static std::optional<QString> keyName(const HotKeyCombination& combination);
};

}  // namespace quibsum

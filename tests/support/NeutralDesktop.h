#pragma once

// Called by the test programs' entry points before Qt starts: whatever the machine or the
// developer's session has (a language, an input method, a platform theme, a Wayland or KDE
// session), the code under test sees the same plain desktop. Tests that need a language or a
// session kind set it themselves.

#include <QByteArray>
#include <QtGlobal>

namespace quibsum::testing {

inline void useNeutralDesktop() {
    qputenv("LC_ALL", "C.UTF-8");
    for (const char* name :
         {"LANGUAGE", "LC_MESSAGES", "QT_IM_MODULE", "XMODIFIERS", "GTK_IM_MODULE", "QT_QPA_PLATFORMTHEME",
          "QT_STYLE_OVERRIDE", "QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS", "QT_AUTO_SCREEN_SCALE_FACTOR",
          "XDG_CURRENT_DESKTOP", "XDG_SESSION_DESKTOP", "XDG_SESSION_TYPE", "WAYLAND_DISPLAY"})
        qunsetenv(name);
}

}  // namespace quibsum::testing

#include "QuibSum/shell/hotkey/HotKeyAdvice.h"

#include <QCoreApplication>
#include <QStringList>

namespace quibsum {

namespace {

QString tr(const char* text) { return QCoreApplication::translate("HotKeyAdvice", text); }

}  // namespace

HotKeyAdvice::Desktop HotKeyAdvice::desktopFor(const QString& currentDesktop, bool swaySocket) {
    const QStringList names = currentDesktop.split(QLatin1Char(':'), Qt::SkipEmptyParts);
    for (const QString& name : names) {
        // GNOME Classic and Ubuntu's session name themselves "GNOME-Classic:GNOME", "ubuntu:GNOME".
        if (name.compare(QLatin1String("GNOME"), Qt::CaseInsensitive) == 0 ||
            name.startsWith(QLatin1String("GNOME-"), Qt::CaseInsensitive))
            return Desktop::gnome;
        if (name.compare(QLatin1String("sway"), Qt::CaseInsensitive) == 0) return Desktop::sway;
    }
    // sway does not always set XDG_CURRENT_DESKTOP; its control socket is always there.
    if (swaySocket && names.isEmpty()) return Desktop::sway;
    return Desktop::other;
}

HotKeyAdvice::Desktop HotKeyAdvice::currentDesktop() {
    return desktopFor(qEnvironmentVariable("XDG_CURRENT_DESKTOP"), qEnvironmentVariableIsSet("SWAYSOCK"));
}

std::optional<QString> HotKeyAdvice::keyName(const HotKeyCombination& combination) {
    const std::optional<QString> trigger = combination.portalTrigger();
    if (!trigger) return std::nullopt;
    // The key's name follows the last '+' (a key named "plus" is spelled out).
    return trigger->mid(trigger->lastIndexOf(QLatin1Char('+')) + 1);
}

std::optional<QString> HotKeyAdvice::swayLine(const HotKeyCombination& combination) {
    const std::optional<QString> key = keyName(combination);
    if (!key) return std::nullopt;
    QString keys;
    const std::pair<std::uint32_t, const char*> modifiers[] = {
        {HotKeyCombination::controlMask, "Ctrl+"},
        {HotKeyCombination::optionMask, "Mod1+"},
        {HotKeyCombination::shiftMask, "Shift+"},
        {HotKeyCombination::commandMask, "Mod4+"},
    };
    for (const auto& [mask, name] : modifiers)
        if (combination.modifiers & mask) keys += QLatin1String(name);
    return QStringLiteral("bindsym %1%2 exec quibsum toggle").arg(keys, *key);
}

std::optional<QString> HotKeyAdvice::gnomeBinding(const HotKeyCombination& combination) {
    const std::optional<QString> key = keyName(combination);
    if (!key) return std::nullopt;
    QString binding;
    const std::pair<std::uint32_t, const char*> modifiers[] = {
        {HotKeyCombination::controlMask, "<Control>"},
        {HotKeyCombination::optionMask, "<Alt>"},
        {HotKeyCombination::shiftMask, "<Shift>"},
        {HotKeyCombination::commandMask, "<Super>"},
    };
    for (const auto& [mask, name] : modifiers)
        if (combination.modifiers & mask) binding += QLatin1String(name);
    return binding + *key;
}

QString HotKeyAdvice::text(Desktop desktop, const HotKeyCombination& combination) {
    const QString label = combination.label();
    switch (desktop) {
        case Desktop::sway:
            if (swayLine(combination))
                return tr("%1 needs a line in sway's configuration (~/.config/sway/config) to open Quib Sum. Add "
                          "this line, then reload sway:")
                    .arg(label);
            break;
        case Desktop::gnome:
            if (gnomeBinding(combination))
                return tr("GNOME does not let programs set a global shortcut. Add %1 to GNOME's keyboard "
                          "shortcuts to open Quib Sum with it.")
                    .arg(label);
            break;
        case Desktop::other:
            break;
    }
    return tr("%1 does not open Quib Sum on this desktop. Bind the command “quibsum toggle” to it in the "
              "desktop's keyboard settings.")
        .arg(label);
}

}  // namespace quibsum

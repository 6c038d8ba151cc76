#include "QuibSum/shell/hotkey/HotKeyBinding.h"

#include <exception>

#include "QuibSum/shell/hotkey/HotKey.h"
#include "QuibSum/shell/hotkey/HotKeyError.h"
#include "QuibSum/storage/SumSettings.h"

namespace quibsum {

HotKeyBinding::HotKeyBinding(SumSettings& settings, HotKey& hotKey) {
    connect(&hotKey, &HotKey::failed, this, [this, &settings](const HotKeyError& e) {
        settings.setLastError(e.message());
        setWorking(false);
    });
    connect(&settings, &SumSettings::hotkeyRecorded, this, [this, &settings, &hotKey] {
        try {
            hotKey.registerCombination(settings.hotkeyCode(), settings.hotkeyModifiers());
            setWorking(true);
        } catch (const std::exception& e) {
            // No combination would do better here: keep the one chosen, for the desktop's own
            // settings to run `quibsum toggle` with (the advice shown names it).
            if (hotKey.mechanism() == HotKey::Mechanism::none) {
                setWorking(false);
            } else {
                settings.refuseHotkey(QString::fromUtf8(e.what()));
            }
        }
    });
    try {
        hotKey.registerCombination(settings.hotkeyCode(), settings.hotkeyModifiers());
        working_ = true;
    } catch (const HotKeyError& e) {
        settings.setLastError(QString::fromUtf8(e.what()));
    }
}

void HotKeyBinding::setWorking(bool working) {
    if (working_ == working) return;
    working_ = working;
    emit workingChanged(working);
}

}  // namespace quibsum

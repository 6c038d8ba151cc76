#include "QuibSum/shell/hotkey/HotKeyBinding.h"

#include <exception>

#include "QuibSum/shell/hotkey/HotKey.h"
#include "QuibSum/shell/hotkey/HotKeyError.h"
#include "QuibSum/storage/SumSettings.h"

namespace quibsum {

HotKeyBinding::HotKeyBinding(SumSettings& settings, HotKey& hotKey) {
    hotKey.onFailure = [&settings](const HotKeyError& e) { settings.setLastError(QString::fromUtf8(e.what())); };
    connect(&settings, &SumSettings::hotkeyRecorded, this, [&settings, &hotKey] {
        try {
            hotKey.registerCombination(settings.hotkeyCode(), settings.hotkeyModifiers());
        } catch (const std::exception& e) {
            settings.refuseHotkey(QString::fromUtf8(e.what()));
        }
    });
    try {
        hotKey.registerCombination(settings.hotkeyCode(), settings.hotkeyModifiers());
    } catch (const HotKeyError& e) {
        settings.setLastError(QString::fromUtf8(e.what()));
    }
}

}  // namespace quibsum

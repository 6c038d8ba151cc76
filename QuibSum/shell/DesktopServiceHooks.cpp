#include "QuibSum/shell/DesktopServiceHooks.h"

#include <exception>

#include "QuibSum/shell/SumRuntime.h"
#include "QuibSum/shell/SumWindow.h"
#include "QuibSum/storage/SheetStore.h"
#include "QuibSumRates/LiveRateStore.h"

namespace quibsum {

SumService::Hooks desktopServiceHooks(SheetStore& store, SumRuntime& runtime, SumWindow& window) {
    SumService::Hooks hooks;
    hooks.show = [&runtime, &window] {
        window.present();
        runtime.refreshRates(false);
    };
    hooks.hide = [&window] { window.hide(); };
    hooks.toggle = [&runtime, &window] {
        window.toggle();
        if (window.isVisible()) runtime.refreshRates(false);
    };
    hooks.appendText = [&store, &runtime, &window](const QString& text) {
        // The text is on disk before the window shows it: a failing window loses nothing.
        const QString whole = store.appendToQuickSheet(text);
        try {
            window.showQuickSheetAtEnd(whole);
        } catch (const std::exception&) {
            // The text is saved; answering with an error would invite the caller to add it
            // again. The window shows the sheet it had.
            window.present();
        }
        runtime.refreshRates(false);
        return whole;
    };
    hooks.prepareCalculation = [&runtime] { runtime.refreshRates(false); };
    hooks.calculate = [&runtime](const std::string& expression) {
        SumSettings& settings = runtime.settings();
        return QuickCalculator::evaluate(expression, runtime.rates(), settings.engineNumberStyle(),
                                         settings.defaultVNDKind());
    };
    return hooks;
}

}  // namespace quibsum

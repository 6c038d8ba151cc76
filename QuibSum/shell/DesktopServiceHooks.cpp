#include "QuibSum/shell/DesktopServiceHooks.h"

#include <QGuiApplication>
#include <QWindow>
#include <QtGlobal>

#include "QuibSum/desktop/SelectionReader.h"

#include "QuibSum/shell/SumRuntime.h"
#include "QuibSum/shell/SumWindow.h"
#include "QuibSum/storage/SheetStore.h"
#include "QuibSumRates/LiveRateStore.h"

namespace quibsum {

SumService::Hooks desktopServiceHooks(SheetStore& store, SumRuntime& runtime, SumWindow& window) {
    SumService::Hooks hooks;
    // Showing the window starts an unforced rate refresh of its own.
    hooks.show = [&window] { window.showWindow(); };
    hooks.hide = [&window] { window.hideWindow(); };
    hooks.toggle = [&window] { window.toggleWindow(); };
    // Qt's Wayland window activates with the token in this variable, once, when it is next
    // asked to come forward: a compositor brings forward no window without one.
    hooks.useActivationToken = [](const QString& token) { qputenv("XDG_ACTIVATION_TOKEN", token.toUtf8()); };
    hooks.appendText = [&store, &window](const QString& text) {
        // The text is on disk before the window shows it: a failing window loses nothing.
        const QString whole = store.appendToQuickSheet(text);
        window.showQuickSheetText(whole);
        return whole;
    };
    hooks.readSelection = [&window](std::function<void(const QString&)> done) {
        window.showWindow();
        auto* reader = new SelectionReader(SelectionReader::standard(
            [&window] { return window.windowHandle() && QGuiApplication::focusWindow() == window.windowHandle(); }));
        reader->start([&window, done = std::move(done)](const QString& text) {
            if (text.isEmpty()) window.showNote(SumWindow::tr("No text is selected or copied."));
            done(text);
        });
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

#include "QuibSum/shell/DesktopSearchActions.h"

#include <QDBusConnection>
#include <exception>

#include "QuibSum/desktop/DesktopClipboard.h"
#include "QuibSum/shell/SumRuntime.h"
#include "QuibSum/shell/SumWindow.h"
#include "QuibSum/storage/SheetStore.h"

namespace quibsum {

SearchActions desktopSearchActions(SheetStore& store, SumRuntime& runtime, SumWindow& window) {
    SearchActions actions;
    actions.answer = [&runtime](const QString& expression) {
        runtime.refreshRates(false);
        SumSettings& settings = runtime.settings();
        return SearchAnswer::find(expression, runtime.rates(), settings.engineNumberStyle(), settings.defaultVNDKind());
    };
    actions.copy = [](const QString& text) { DesktopClipboard::copy(text, QDBusConnection::sessionBus()); };
    actions.open = [&store, &window](const QString& expression) {
        try {
            window.showQuickSheetText(store.appendToQuickSheet(expression));
        } catch (const std::exception& e) {
            window.showWindow();
            window.showNote(QString::fromUtf8(e.what()));
        }
    };
    return actions;
}

}  // namespace quibsum

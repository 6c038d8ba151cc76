#include "QuibSum/shell/DesktopApp.h"

#include <QApplication>
#include <QMessageBox>
#include <QSessionManager>
#include <QSettings>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <exception>
#include <memory>
#include <optional>
#include <string>

#include "QuibSum/editor/EditorView.h"
#include "QuibSum/settings/SumSettingsRoot.h"
#include "QuibSum/shell/DesktopServiceHooks.h"
#include "QuibSum/shell/DisplayAccess.h"
#include "QuibSum/shell/InterfaceLanguage.h"
#include "QuibSum/shell/QuitOnSignal.h"
#include "QuibSum/shell/SingleInstance.h"
#include "QuibSum/shell/SumRuntime.h"
#include "QuibSum/shell/SumService.h"
#include "QuibSum/shell/SumWindow.h"
#include "QuibSum/shell/hotkey/HotKey.h"
#include "QuibSum/shell/hotkey/HotKeyBinding.h"
#include "QuibSum/storage/AppPaths.h"
#include "QuibSum/storage/SheetStore.h"

namespace quibsum {

namespace {

// The longest the window's main thread waits for the sheets' lock at a time.
constexpr std::chrono::milliseconds windowLockWait{100};

}  // namespace

int runDesktopApp(int& argc, char** argv, bool hidden) {
    // Qt would abort without a display it can reach: say so, as the window commands do.
    if (const std::optional<std::string> why = DisplayAccess::whyUnreachable()) {
        std::fprintf(stderr, "quibsum: %s\n", why->c_str());
        return 1;
    }
    // A command that started this program reads its error output only until the window
    // comes up; later messages to the closed pipe must not end the program.
    std::signal(SIGPIPE, SIG_IGN);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("QuibSum"));
    // No display name: Qt would append it to every window title ("Quib Sum — A — Quib Sum").
    // The windows carry the name in their own titles.
    QApplication::setDesktopFileName(QStringLiteral("quibsum"));
    InterfaceLanguage::install(app, InterfaceLanguage::choose(InterfaceLanguage::desktopLanguages()));

    // Before anything reads the sheets: a second process must not hold them too.
    SumService service;
    if (std::optional<int> status = claimSingleInstance(service, hidden)) return *status;

    std::unique_ptr<SheetStore> store;
    std::unique_ptr<SumRuntime> runtime;
    std::unique_ptr<QSettings> windowSettings;
    std::unique_ptr<SumWindow> window;
    try {
        store = std::make_unique<SheetStore>(AppPaths::sheetsDirectory());
        // The window's own changes (a new sheet, an append over the bus, quitting) wait for
        // another process's lock no longer than a moment, so the window never freezes; typing
        // is saved by the delayed save, which never waits.
        store->setLockWait(windowLockWait);
        runtime = SumRuntime::standard();
        windowSettings = AppPaths::openSettings();
        window = std::make_unique<SumWindow>(*store, *runtime, *windowSettings);
    } catch (const std::exception& e) {
        QMessageBox::critical(
            nullptr, QStringLiteral("Quib Sum"),
            QApplication::translate("DesktopApp", "Quib Sum cannot start.\n\n%1").arg(QString::fromUtf8(e.what())));
        return 1;
    }

    SumSettings& settings = runtime->settings();
    for (auto evaluationChoice : {&SumSettings::numberStyleChanged, &SumSettings::rateKindChanged})
        QObject::connect(&settings, evaluationChoice, window.get(),
                         [&] { window->editor()->setEngine(runtime->makeEngine()); });
    QObject::connect(&settings, &SumSettings::appearanceChanged, window.get(), [&] { window->applyTheme(); });
    // Logging out asks every program to save: do it then, as at quit.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, [&](QSessionManager&) {
        try {
            store->save();
        } catch (const std::exception&) {
            // The store keeps the error for the status line; the texts stay pending.
        }
    });

    // The hot key toggles the window; the binding keeps it in step with the settings.
    std::unique_ptr<HotKey> hotKey = HotKey::create();
    hotKey->onPress = [&] {
        window->toggleWindow();
        runtime->refreshRates(false);
    };
    auto hotKeyBinding = std::make_unique<HotKeyBinding>(settings, *hotKey);

    window->onShown = [&] { runtime->refreshRates(false); };
    // The settings window: made on first use, hidden (not destroyed) when closed, on top
    // whenever the sheet window is pinned.
    std::unique_ptr<SumSettingsRoot> settingsWindow;
    window->onSettings = [&] {
        if (!settingsWindow) {
            settingsWindow = std::make_unique<SumSettingsRoot>(settings, windowSettings.get());
            settingsWindow->refreshRates = [&] { runtime->refreshRates(true); };
            settingsWindow->quit = [&] { window->quit(); };
        }
        settingsWindow->setPinned(window->isPinned());
        settingsWindow->present();
    };
    window->onPinChange = [&](bool pinned) {
        if (settingsWindow) settingsWindow->setPinned(pinned);
    };
    service.setHooks(desktopServiceHooks(*store, *runtime, *window));
    quitOnTerminationSignals(&app);
    runtime->watchForRefreshMoments();
    runtime->refreshRates(false);
    if (!hidden) window->showWindow();
    int status = QApplication::exec();
    // Quitting from the window saved already; a termination signal did not.
    try {
        if (store->hasPendingChanges()) store->save();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "quibsum: %s\n", e.what());
        status = 1;
    }
    hotKeyBinding.reset();
    hotKey.reset();
    service.setHooks({});
    settingsWindow.reset();
    window.reset();
    return status;
}

}  // namespace quibsum

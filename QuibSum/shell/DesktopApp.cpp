#include "QuibSum/shell/DesktopApp.h"

#include <QApplication>
#include <QMenu>
#include <QMessageBox>
#include <QSessionManager>
#include <QSettings>
#include <QToolButton>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <exception>
#include <memory>
#include <optional>
#include <string>

#include "QuibSum/bus/SumBusAddress.h"
#include "QuibSum/bus/SumService.h"
#include "QuibSum/common/InterfaceLanguage.h"
#include "QuibSum/common/ProgramFiles.h"
#include "QuibSum/desktop/PanelIcon.h"
#include "QuibSum/desktop/ProjectLinks.h"
#include "QuibSum/editor/EditorView.h"
#include "QuibSum/editor/TotalFooter.h"
#include "QuibSum/search/GnomeSearchProvider.h"
#include "QuibSum/search/KRunnerRunner.h"
#include "QuibSum/settings/SettingsWindow.h"
#include "QuibSum/shell/DesktopSearchActions.h"
#include "QuibSum/shell/DesktopServiceHooks.h"
#include "QuibSum/shell/DisplayAccess.h"
#include "QuibSum/shell/HotKeyNotice.h"
#include "QuibSum/shell/QuitOnSignal.h"
#include "QuibSum/shell/SingleInstance.h"
#include "QuibSum/shell/SumRuntime.h"
#include "QuibSum/shell/SumWindow.h"
#include "QuibSum/shell/hotkey/GnomeShortcut.h"
#include "QuibSum/shell/hotkey/HotKey.h"
#include "QuibSum/shell/hotkey/HotKeyAdvice.h"
#include "QuibSum/shell/hotkey/HotKeyBinding.h"
#include "QuibSum/storage/AppPaths.h"
#include "QuibSum/storage/SheetStore.h"

namespace quibsum {

namespace {

// The longest the window's main thread waits for the sheets' lock at a time.
constexpr std::chrono::milliseconds windowLockWait{100};

// Set once the user closed the notice that the hot key does not work.
constexpr const char* hotKeyNoticeDismissedKey = "QuibSum.HotKeyNoticeDismissed";

// The `quibsum` a desktop's shortcut should run: this program's own, else the one on PATH.
QString publicCommand() {
    const std::filesystem::path program = ProgramFiles::publicProgram();
    return program.empty() ? QStringLiteral("quibsum") : QString::fromStdString(program.string());
}

}  // namespace

void toggleOnHotKey(HotKey& hotKey, SumWindow& window, SumRuntime& runtime) {
    QObject::connect(&hotKey, &HotKey::activationTokenReceived, &window,
                     [](const QString& token) { qputenv("XDG_ACTIVATION_TOKEN", token.toUtf8()); });
    QObject::connect(&hotKey, &HotKey::pressed, &window, [&window, &runtime] {
        window.toggleWindow();
        runtime.refreshRates(false);
    });
}

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
        QObject::connect(&settings, evaluationChoice, window.get(), [&] {
            // (A sheet too large to edit follows the settings by itself.)
            if (EditorView* editor = window->editor()) editor->setEngine(runtime->makeEngine());
        });
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
    toggleOnHotKey(*hotKey, *window, *runtime);
    auto hotKeyBinding = std::make_unique<HotKeyBinding>(settings, *hotKey);

    // Where the hot key does not work the window says so once, with what fixes it; the
    // Shortcut pane of the settings says it for as long as it holds.
    const HotKeyAdvice::Desktop desktop = HotKeyAdvice::currentDesktop();
    const GnomeShortcut gnome(publicCommand());
    bool gnomeAdded = desktop == HotKeyAdvice::Desktop::gnome && gnome.isAdded();
    auto* notice = new HotKeyNotice(settings, desktop, &gnome, true);
    window->setNotice(notice);
    std::unique_ptr<SettingsWindow> settingsWindow;
    auto followHotKey = [&] {
        const bool fixed = hotKeyBinding->isWorking() || gnomeAdded;
        notice->setVisible(!fixed && !windowSettings->value(QLatin1String(hotKeyNoticeDismissedKey)).toBool());
        if (!settingsWindow) return;
        if (fixed && !gnomeAdded) {
            settingsWindow->setShortcutAdvice(nullptr);
        } else {
            auto* advice = new HotKeyNotice(settings, desktop, &gnome, false);
            QObject::connect(advice, &HotKeyNotice::shortcutAdded, window.get(), [&] {
                gnomeAdded = true;
                notice->hide();
            });
            settingsWindow->setShortcutAdvice(advice);
        }
    };
    QObject::connect(notice, &HotKeyNotice::dismissed, window.get(), [&] {
        windowSettings->setValue(QLatin1String(hotKeyNoticeDismissedKey), true);
        notice->hide();
    });
    QObject::connect(notice, &HotKeyNotice::shortcutAdded, window.get(), [&] {
        gnomeAdded = true;
        followHotKey();
    });
    QObject::connect(hotKeyBinding.get(), &HotKeyBinding::workingChanged, window.get(), [&] { followHotKey(); });
    // GNOME's shortcut follows a newly recorded combination.
    QObject::connect(&settings, &SumSettings::hotkeyRecorded, window.get(), [&] {
        if (!gnomeAdded) return;
        const std::optional<QString> error =
            gnome.follow(HotKeyCombination{settings.hotkeyCode(), settings.hotkeyModifiers()});
        settings.setLastError(error);
    });

    QObject::connect(window.get(), &SumWindow::shown, runtime.get(), [&] { runtime->refreshRates(false); });
    // xdg-shell has no request to keep a window above others; sway keeps floating windows
    // above tiled ones, KWin and GNOME do nothing of the kind for Wayland clients.
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")) && desktop != HotKeyAdvice::Desktop::sway)
        window->footer()->pinButton()->setToolTip(
            QApplication::translate("DesktopApp",
                                    "Pin: stays shown when you switch programs (this desktop keeps no "
                                    "window on top of others)"));
    // The settings window: made on first use, hidden (not destroyed) when closed, on top
    // whenever the sheet window is pinned.
    auto showSettings = [&] {
        if (!settingsWindow) {
            settingsWindow = std::make_unique<SettingsWindow>(settings, windowSettings.get());
            SettingsWindow* shown = settingsWindow.get();
            QObject::connect(shown, &SettingsWindow::refreshRequested, runtime.get(),
                             [&] { runtime->refreshRates(true); });
            QObject::connect(shown, &SettingsWindow::quitRequested, window.get(), &SumWindow::quit);
            QObject::connect(shown, &SettingsWindow::donateRequested, shown,
                             [shown] { ProjectLinks::open(ProjectLinks::donate(), shown); });
            QObject::connect(shown, &SettingsWindow::updatesRequested, shown,
                             [shown] { ProjectLinks::open(ProjectLinks::releases(), shown); });
            shown->offerProjectPages(!ProjectLinks::donate().isEmpty(), !ProjectLinks::releases().isEmpty());
            followHotKey();
        }
        settingsWindow->setPinned(window->isPinned());
        settingsWindow->present();
    };
    QObject::connect(window.get(), &SumWindow::settingsRequested, window.get(), showSettings);
    QObject::connect(window.get(), &SumWindow::pinChanged, window.get(), [&](bool pinned) {
        if (settingsWindow) settingsWindow->setPinned(pinned);
    });
    service.setHooks(desktopServiceHooks(*store, *runtime, *window));
    // The icon in the desktop's panel, while the settings want it and the desktop shows it.
    PanelIcon panelIcon;
    QObject::connect(&panelIcon, &PanelIcon::toggleRequested, window.get(), [&] { window->toggleWindow(); });
    QObject::connect(&panelIcon, &PanelIcon::showRequested, window.get(), [&] { window->showWindow(); });
    QObject::connect(&panelIcon, &PanelIcon::newSheetRequested, window.get(), [&] {
        window->showWindow();
        window->newSheet();
    });
    QObject::connect(&panelIcon, &PanelIcon::updateRatesRequested, window.get(), [&] { runtime->refreshRates(true); });
    QObject::connect(&panelIcon, &PanelIcon::settingsRequested, window.get(), showSettings);
    QObject::connect(&panelIcon, &PanelIcon::quitRequested, window.get(), [&] { window->quit(); });
    QObject::connect(&settings, &SumSettings::panelIconChanged, &panelIcon,
                     [&] { panelIcon.setWanted(settings.showPanelIcon()); });
    panelIcon.setWanted(settings.showPanelIcon());
    // Where Qt draws the icon's menu itself (an X11 tray), it takes the window's colours.
    auto themeIconMenu = [&] { panelIcon.menu()->setPalette(window->palette()); };
    QObject::connect(window.get(), &SumWindow::themeChanged, &panelIcon, themeIconMenu);
    themeIconMenu();
    // GNOME Shell's overview and KRunner ask the instance for answers on its bus connection.
    GnomeSearchProvider gnomeSearch(desktopSearchActions(*store, *runtime, *window));
    KRunnerRunner krunner(desktopSearchActions(*store, *runtime, *window));
    if (const std::optional<QDBusConnection> bus = SumBusAddress::sessionBus()) {
        if (!gnomeSearch.registerOn(*bus) || !krunner.registerOn(*bus))
            std::fputs("quibsum: warning: the desktop's search cannot reach this instance\n", stderr);
    }
    quitOnTerminationSignals(&app);
    runtime->watchForRefreshMoments();
    runtime->refreshRates(false);
    followHotKey();
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

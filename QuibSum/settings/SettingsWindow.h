#pragma once
// SettingsWindow: the program's settings. A search field and a sidebar of panes on the left, the
// selected pane's rows on the right: General (appearance, number style, default currency,
// default VND rate, launch at login), Shortcut (the hot-key recorder), Exchange rates (status,
// refresh, currency guide) and About. Every row reads and writes the shared settings and
// follows their changes. Closing hides it; its frame is remembered; it takes the colours of
// the chosen appearance and, while the sheet window is pinned, stays on top and on every
// workspace, as the sheet window does.

#include <QWidget>
#include <functional>

#include "QuibSum/settings/LaunchAtLogin.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QSettings;
class QStackedWidget;

namespace quibsum {

class WindowPin;
class HotkeyRecorder;
class SumSettings;

class SettingsWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* frameKey = "QuibSum.Settings.v1";

    // `frameStorage` (may be null) keeps the window's frame and must outlive the window.
    SettingsWindow(SumSettings& settings, QSettings* frameStorage, LaunchAtLogin launchAtLogin = LaunchAtLogin(),
                   QWidget* parent = nullptr);

    // The pane shown, by identifier ("general", "shortcut", "rates", "about").
    QString selection() const;
    void select(const QString& paneID);
    // The sidebar's panes, in order, as the search field filters them.
    QStringList listedPanes() const;
    void setPinned(bool pinned);
    bool isPinned() const;
    // Shows it, or brings it forward.
    void present();
    // Shows this advice on the Shortcut pane in place of the general hint; null restores it.
    void setShortcutAdvice(QWidget* advice);
    // "Version 0.1.0 (build)"; the parentheses only when a build is known.
    static QString versionText(const QString& version, const QString& build);

    // Shows the About pane's "Support" and "Updates" rows (hidden until then: a build without
    // the project's pages has neither).
    void offerProjectPages(bool donate, bool updates);

    // Opens the currency guide; by default a modal dialog over this window. Tests put their
    // own here, since the dialog would wait for the user.
    std::function<void()> showCurrencyGuide;

signals:
    void refreshRequested();
    void donateRequested();
    void updatesRequested();
    // Ctrl+Q: ends the program (saving first), as Quit does from the sheet window.
    void quitRequested();

protected:
    void hideEvent(QHideEvent* event) override;

private:
    QWidget* buildGeneral();
    QWidget* buildShortcut();
    QWidget* buildRates();
    QWidget* buildAbout();
    void filter(const QString& query);
    void showLinkRows();
    void showSettings();
    void applyTheme();
    void flipLaunchAtLogin(bool on);

    SumSettings& settings_;
    QSettings* frameStorage_;
    LaunchAtLogin launchAtLogin_;
    WindowPin* pin_;
    QLineEdit* search_;
    QListWidget* sidebar_;
    QStackedWidget* panes_;
    QButtonGroup* appearance_ = nullptr;
    QButtonGroup* numberStyle_ = nullptr;
    QComboBox* rateKind_ = nullptr;
    QCheckBox* loginSwitch_ = nullptr;
    QLabel* loginError_ = nullptr;
    QWidget* supportRow_ = nullptr;
    QWidget* updatesRow_ = nullptr;
    bool offersDonate_ = false;
    bool offersUpdates_ = false;
    HotkeyRecorder* recorder_ = nullptr;
    QLabel* shortcutHint_ = nullptr;
    QWidget* shortcutAdvice_ = nullptr;
    QLabel* shortcutError_ = nullptr;
    QLabel* rateStatus_ = nullptr;
    QLabel* rateError_ = nullptr;
    QList<QLabel*> errorLabels_;
};

}  // namespace quibsum

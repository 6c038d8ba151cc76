// The settings window on the offscreen platform: every row reads and writes the settings
// (kept in a scratch INI file), the search filters the sidebar, the hot-key recorder's edge
// cases, and launch at login against a scratch autostart folder.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QRegularExpression>
#include <QSettings>
#include <QShortcut>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <memory>
#include <stdexcept>

#include "QuibSum/desktop/ProjectLinks.h"
#include "QuibSum/settings/HotkeyRecorder.h"
#include "QuibSum/settings/SettingsWindow.h"
#include "QuibSum/storage/SumSettings.h"

using namespace quibsum;

namespace {

class SettingsWindowTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QSettings storage{dir.path() + "/QuibSum.conf", QSettings::IniFormat};
    SumSettings settings{storage, QLocale(QLocale::English, QLocale::UnitedStates)};
    QString autostart = dir.path() + "/autostart";
    std::unique_ptr<SettingsWindow> root =
        std::make_unique<SettingsWindow>(settings, &storage, LaunchAtLogin(autostart));

    template <typename T>
    T* child(const char* name) {
        T* found = root->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QAbstractButton* tile(const QString& label) {
        for (QAbstractButton* b : root->findChildren<QAbstractButton*>())
            if (b->text() == label) return b;
        ADD_FAILURE() << "no tile " << label.toStdString();
        return nullptr;
    }
    QString stored(const char* key) {
        storage.sync();
        return QSettings(storage.fileName(), QSettings::IniFormat).value(key).toString();
    }
};

TEST_F(SettingsWindowTest, FirstOpenTime) {
    QElapsedTimer timer;
    timer.start();
    SettingsWindow fresh(settings, nullptr, LaunchAtLogin(autostart));
    fresh.present();
    QCoreApplication::processEvents();
    std::printf("settings window first open: %lld ms\n", static_cast<long long>(timer.elapsed()));
    EXPECT_EQ(fresh.windowTitle(), "Settings");
    EXPECT_EQ(fresh.selection(), "general");
}

TEST_F(SettingsWindowTest, SearchFiltersTheSidebar) {
    auto* search = child<QLineEdit>("search");
    EXPECT_EQ(search->placeholderText(), QString::fromUtf8("Search settings…"));
    search->setText(QString::fromUtf8("ty gia"));
    EXPECT_EQ(root->listedPanes(), QStringList{"rates"});
    EXPECT_EQ(root->selection(), "rates");  // the pane shown was filtered away
    search->setText("donate");
    EXPECT_EQ(root->listedPanes(), QStringList{"about"});
    search->setText("   ");
    EXPECT_EQ(root->listedPanes(), (QStringList{"general", "shortcut", "rates", "about"}));
    EXPECT_EQ(root->selection(), "about");  // blanks list all and keep the pane
}

TEST_F(SettingsWindowTest, ChoiceTilesWriteAndFollowTheSettings) {
    const struct {
        const char* tile;
        const char* key;
        const char* value;
    } rows[] = {
        {"Light", "appearance", "light"},
        {"System", "appearance", "system"},
        {"Dark", "appearance", "dark"},
        {"Vietnam (1.234,5)", "numberStyle", "vi"},
        {"United States (1,234.5)", "numberStyle", "en"},
    };
    int evaluations = 0, appearances = 0;
    for (auto choice : {&SumSettings::numberStyleChanged, &SumSettings::rateKindChanged})
        QObject::connect(&settings, choice, [&] { ++evaluations; });
    QObject::connect(&settings, &SumSettings::appearanceChanged, [&] { ++appearances; });
    for (const auto& row : rows) {
        QAbstractButton* b = tile(QString::fromUtf8(row.tile));
        ASSERT_TRUE(b);
        b->click();
        EXPECT_EQ(stored(row.key), row.value) << row.tile;
        EXPECT_TRUE(b->isChecked()) << row.tile;
    }
    EXPECT_EQ(evaluations, 2);
    EXPECT_EQ(appearances, 3);

    // Changed elsewhere (the runtime, another window): the tiles follow.
    settings.setNumberStyle("vi");
    EXPECT_TRUE(tile(QString::fromUtf8("Vietnam (1.234,5)"))->isChecked());
    EXPECT_FALSE(tile(QString::fromUtf8("United States (1,234.5)"))->isChecked());
    settings.setAppearance("light");
    EXPECT_TRUE(tile("Light")->isChecked());
    EXPECT_FALSE(tile("Dark")->isChecked());
}

TEST_F(SettingsWindowTest, DefaultVNDRatePicker) {
    auto* picker = child<QComboBox>("rateKind");
    ASSERT_EQ(picker->count(), 3);
    EXPECT_EQ(picker->itemText(0), "Transfer");
    EXPECT_EQ(picker->itemText(1), "Buy");
    EXPECT_EQ(picker->itemText(2), "Sell");
    EXPECT_EQ(picker->currentIndex(), 0);
    picker->activated(2);
    picker->setCurrentIndex(2);
    EXPECT_EQ(stored("rateKind"), "sell");
    settings.setRateKind("buy");
    EXPECT_EQ(picker->currentText(), "Buy");
    settings.setRateKind("mid");  // converts at the transfer rate, so shown as such
    EXPECT_EQ(picker->currentText(), "Transfer");
}

TEST_F(SettingsWindowTest, ReadOnlyAndInformationalRows) {
    EXPECT_EQ(child<QLabel>("defaultCurrency")->text(), QString::fromUtf8("VND (₫)"));
    EXPECT_EQ(child<QLabel>("attribution")->text(), "Rates by Exchange Rate API (https://www.exchangerate-api.com)");
    // Built from a git checkout, the build is known: its commit count (or id) in parentheses.
    const QString build = QStringLiteral(QUIBSUM_EXPECTED_BUILD);
    if (QFileInfo::exists(QStringLiteral(QUIBSUM_SOURCE_DIR "/.git"))) {
        EXPECT_FALSE(build.isEmpty());
        EXPECT_TRUE(QRegularExpression(QStringLiteral("^[0-9a-f]+$")).match(build).hasMatch()) << build.toStdString();
    }
    EXPECT_EQ(child<QLabel>("version")->text(), SettingsWindow::versionText(QUIBSUM_VERSION, build));
    EXPECT_EQ(SettingsWindow::versionText("1.2", "45"), "Version 1.2 (45)");
    EXPECT_EQ(SettingsWindow::versionText("1.2", ""), "Version 1.2");

    settings.setRateStatus("Vietcombank: 10:00");
    EXPECT_EQ(child<QLabel>("rateStatus")->text(), "Vietcombank: 10:00");
    EXPECT_TRUE(child<QLabel>("rateStatus")->textInteractionFlags() & Qt::TextSelectableByMouse);
    settings.setLastError(QString("Network down"));
    EXPECT_EQ(child<QLabel>("rateError")->text(), "Network down");
    EXPECT_FALSE(child<QLabel>("rateError")->isHidden());
    settings.setLastError(std::nullopt);
    EXPECT_TRUE(child<QLabel>("rateError")->isHidden());
}

TEST_F(SettingsWindowTest, PagesWithoutAnAddressHaveNoRow) {
    // The test build sets no addresses.
    EXPECT_TRUE(ProjectLinks::donate().isEmpty());
    root->present();
    EXPECT_TRUE(child<QWidget>("supportRow")->isHidden());
    EXPECT_TRUE(child<QWidget>("updatesRow")->isHidden());
    root->offerProjectPages(true, false);
    root->present();
    EXPECT_FALSE(child<QWidget>("supportRow")->isHidden());
    EXPECT_TRUE(child<QWidget>("updatesRow")->isHidden());
}

TEST(ProjectLinks, AnAddressNoProgramOpensIsShownInAnAlert) {
    QWidget parent;
    int asked = 0;
    EXPECT_TRUE(ProjectLinks::open(QStringLiteral("https://example.org/donate"), &parent, [&](const QUrl& url) {
        ++asked;
        EXPECT_EQ(url, QUrl(QStringLiteral("https://example.org/donate")));
        return true;
    }));
    EXPECT_EQ(parent.findChild<QMessageBox*>(), nullptr);
    EXPECT_FALSE(ProjectLinks::open(QStringLiteral("https://example.org/releases"), &parent, [&](const QUrl&) {
        ++asked;
        return false;
    }));
    EXPECT_EQ(asked, 2);
    auto* alert = parent.findChild<QMessageBox*>(QStringLiteral("linkAlert"));
    ASSERT_NE(alert, nullptr);
    EXPECT_TRUE(alert->isVisible());
    EXPECT_TRUE(alert->text().contains(QStringLiteral("https://example.org/releases")));
    alert->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(parent.findChild<QMessageBox*>(), nullptr);
}

TEST_F(SettingsWindowTest, ButtonsCallTheirActions) {
    QSignalSpy refreshes(root.get(), &SettingsWindow::refreshRequested);
    QSignalSpy donations(root.get(), &SettingsWindow::donateRequested);
    QSignalSpy updates(root.get(), &SettingsWindow::updatesRequested);
    QSignalSpy quits(root.get(), &SettingsWindow::quitRequested);
    int guides = 0;
    root->showCurrencyGuide = [&] { ++guides; };
    root->offerProjectPages(true, true);
    root->present();
    child<QAbstractButton>("updateRates")->click();
    child<QAbstractButton>("donate")->click();
    child<QAbstractButton>("checkUpdates")->click();
    child<QAbstractButton>("currencyGuideButton")->click();
    for (QShortcut* shortcut : root->findChildren<QShortcut*>())
        if (shortcut->key() == QKeySequence(Qt::CTRL | Qt::Key_Q)) emit shortcut->activated();
    EXPECT_EQ(refreshes.count(), 1);
    EXPECT_EQ(donations.count(), 1);
    EXPECT_EQ(updates.count(), 1);
    EXPECT_EQ(guides, 1);
    EXPECT_EQ(quits.count(), 1);
}

TEST_F(SettingsWindowTest, LaunchAtLoginSwitch) {
    auto* toggle = child<QCheckBox>("launchAtLogin");
    EXPECT_FALSE(toggle->isChecked());
    toggle->click();
    EXPECT_TRUE(toggle->isChecked());
    EXPECT_TRUE(QFile::exists(autostart + "/quibsum.desktop"));
    toggle->click();
    EXPECT_FALSE(toggle->isChecked());
    EXPECT_FALSE(QFile::exists(autostart + "/quibsum.desktop"));
    EXPECT_TRUE(child<QLabel>("loginError")->isHidden());
}

TEST_F(SettingsWindowTest, LaunchAtLoginFailureShowsWhyAndTheRealState) {
    QFile blocker(autostart);  // a file where the folder should be
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    auto* toggle = child<QCheckBox>("launchAtLogin");
    toggle->click();
    EXPECT_FALSE(toggle->isChecked());
    auto* error = child<QLabel>("loginError");
    EXPECT_FALSE(error->isHidden());
    EXPECT_TRUE(error->text().contains(autostart)) << error->text().toStdString();
}

TEST_F(SettingsWindowTest, FrameIsRemembered) {
    root->present();
    root->setGeometry(100, 120, 640, 430);
    root->hide();
    EXPECT_FALSE(storage.value(SettingsWindow::frameKey).toByteArray().isEmpty());
    SettingsWindow again(settings, &storage, LaunchAtLogin(autostart));
    EXPECT_EQ(again.size(), QSize(640, 430));
}

TEST_F(SettingsWindowTest, FollowsThePin) {
    root->setPinned(true);
    EXPECT_TRUE(root->windowFlags() & Qt::WindowStaysOnTopHint);
    root->present();
    root->setPinned(false);
    EXPECT_FALSE(root->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(root->isVisible());
}

class RecorderTest : public SettingsWindowTest {
protected:
    HotkeyRecorder* recorder = nullptr;
    void SetUp() override {
        root->select("shortcut");
        root->present();
        // Shortcuts are looked up from the focused widget of the active window.
        QApplication::setActiveWindow(root.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(root.get()));
        recorder = child<HotkeyRecorder>("recorder");
        ASSERT_TRUE(recorder);
        ASSERT_EQ(recorder->text(), "Ctrl+Alt+Space");
        recorder->click();
        ASSERT_TRUE(recorder->isRecording());
        ASSERT_EQ(recorder->text(), QString::fromUtf8("Press shortcut…"));
    }
};

TEST_F(RecorderTest, EscapeCancels) {
    QTest::keyClick(recorder, Qt::Key_Escape, Qt::ControlModifier);
    EXPECT_FALSE(recorder->isRecording());
    EXPECT_EQ(recorder->text(), "Ctrl+Alt+Space");
    EXPECT_EQ(settings.hotkeyLabel(), "Ctrl+Alt+Space");
}

TEST_F(RecorderTest, PressWithoutModifiersEndsRecordingAndChangesNothing) {
    QTest::keyClick(recorder, Qt::Key_K);
    EXPECT_FALSE(recorder->isRecording());
    EXPECT_EQ(settings.hotkeyLabel(), "Ctrl+Alt+Space");
    EXPECT_EQ(recorder->text(), "Ctrl+Alt+Space");
}

TEST_F(RecorderTest, ModifierKeysAloneKeepRecording) {
    QTest::keyPress(recorder, Qt::Key_Control, Qt::ControlModifier);
    QTest::keyPress(recorder, Qt::Key_Alt, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_TRUE(recorder->isRecording());
}

TEST_F(RecorderTest, CtrlAltKIsRecordedBeforeAnyShortcut) {
    int fired = 0;
    auto* shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_K), root.get());
    shortcut->setContext(Qt::ApplicationShortcut);  // fires whether or not the window is active
    QObject::connect(shortcut, &QShortcut::activated, [&] { ++fired; });
    int registrations = 0;
    QObject::connect(&settings, &SumSettings::hotkeyRecorded, [&] { ++registrations; });
    QTest::keyClick(recorder, Qt::Key_K, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(fired, 0);
    EXPECT_EQ(registrations, 1);
    EXPECT_EQ(settings.hotkeyLabel(), "Ctrl+Alt+K");
    EXPECT_EQ(settings.hotkeyCode(), 40u);
    EXPECT_EQ(settings.hotkeyModifiers(), SumSettings::controlMask | SumSettings::optionMask);
    EXPECT_EQ(recorder->text(), "Ctrl+Alt+K");
    EXPECT_EQ(stored("hotkeyLabel"), "Ctrl+Alt+K");

    child<QAbstractButton>("resetShortcut")->click();
    EXPECT_EQ(settings.hotkeyLabel(), "Ctrl+Alt+Space");
    EXPECT_EQ(recorder->text(), "Ctrl+Alt+Space");
}

TEST_F(RecorderTest, RefusedCombinationShowsTheErrorAndKeepsThePrevious) {
    QObject::connect(&settings, &SumSettings::hotkeyRecorded, [&] {
        if (settings.hotkeyCode() != SumSettings::defaultHotkeyCode) settings.refuseHotkey("Taken by another program");
    });
    QTest::keyClick(recorder, Qt::Key_F5, Qt::ShiftModifier | Qt::MetaModifier);
    EXPECT_EQ(settings.hotkeyLabel(), "Ctrl+Alt+Space");
    EXPECT_EQ(recorder->text(), "Ctrl+Alt+Space");
    auto* error = child<QLabel>("shortcutError");
    EXPECT_EQ(error->text(), "Taken by another program");
    EXPECT_FALSE(error->isHidden());
}

TEST(HotkeyRecorderPress, QtKeysWithoutANativeKeysym) {
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        std::uint32_t code;
        unsigned held;
    } rows[] = {
        {Qt::Key_K, Qt::ControlModifier | Qt::AltModifier, 40, HotKeyPress::control | HotKeyPress::option},
        {Qt::Key_Space, Qt::MetaModifier, 49, HotKeyPress::command},
        {Qt::Key_F12, Qt::ShiftModifier, 111, HotKeyPress::shift},
        {Qt::Key_Comma, Qt::ControlModifier, 43, HotKeyPress::control},
        {Qt::Key_PageDown, Qt::AltModifier, 121, HotKeyPress::option},
        {Qt::Key_7, Qt::ControlModifier, 26, HotKeyPress::control},
    };
    for (const auto& row : rows) {
        QKeyEvent event(QEvent::KeyPress, row.key, row.modifiers);
        std::optional<HotKeyPress> press = HotkeyRecorder::pressFor(event);
        ASSERT_TRUE(press) << row.key;
        EXPECT_EQ(press->keyCode, row.code) << row.key;
        EXPECT_EQ(press->modifiers, row.held) << row.key;
    }
    // A key no hot key can use.
    QKeyEvent volume(QEvent::KeyPress, Qt::Key_VolumeUp, Qt::ControlModifier);
    EXPECT_FALSE(HotkeyRecorder::pressFor(volume));
}

TEST(HotkeyRecorderPress, NativeKeysymWinsOverTheQtKey) {
    // xcb reports the keysym; the Qt key may be a layout's other reading of it.
    QKeyEvent event(QEvent::KeyPress, Qt::Key_unknown, Qt::ControlModifier, 0, 0x6b /* k */, 0);
    std::optional<HotKeyPress> press = HotkeyRecorder::pressFor(event);
    ASSERT_TRUE(press);
    EXPECT_EQ(press->keyCode, 40u);
}

}  // namespace

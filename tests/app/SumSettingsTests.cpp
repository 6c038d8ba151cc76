#include <gtest/gtest.h>

#include <QSettings>
#include <QTemporaryDir>

#include <stdexcept>

#include "QuibSum/storage/SumSettings.h"

namespace quibsum {
namespace {

class SumSettingsTest : public ::testing::Test {
protected:
    std::unique_ptr<QSettings> storage() {
        return std::make_unique<QSettings>(dir.path() + QStringLiteral("/QuibSum.conf"), QSettings::IniFormat);
    }

    QTemporaryDir dir;
};

TEST_F(SumSettingsTest, DefaultsFollowTheLocalesDecimalSeparator) {
    auto s = storage();
    SumSettings german(*s, QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(german.numberStyle(), "vi");
    SumSettings vietnamese(*s, QLocale(QLocale::Vietnamese, QLocale::Vietnam));
    EXPECT_EQ(vietnamese.numberStyle(), "vi");
    SumSettings american(*s, QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(american.numberStyle(), "en");
    EXPECT_EQ(american.rateKind(), "transfer");
    EXPECT_EQ(american.appearance(), "dark");
    EXPECT_EQ(american.hotkeyCode(), 49u);
    EXPECT_EQ(american.hotkeyModifiers(), 0x1800u);  // Ctrl+Alt: Alt+Space is the window menu's
    EXPECT_EQ(american.hotkeyLabel(), "Ctrl+Alt+Space");
    EXPECT_EQ(american.lastError(), std::nullopt);
    EXPECT_EQ(american.rateStatus(), "");
}

TEST(SumSettingsMappings, OnlyExactValuesChooseTheirCase) {
    EXPECT_EQ(SumSettings::numberStyleFrom("vi"), NumberStyle::vi);
    for (const char* v : {"en", "VI", "vi ", ""}) EXPECT_EQ(SumSettings::numberStyleFrom(v), NumberStyle::en) << v;
    EXPECT_EQ(SumSettings::rateKindFrom("buy"), RateKind::buy);
    EXPECT_EQ(SumSettings::rateKindFrom("sell"), RateKind::sell);
    for (const char* v : {"transfer", "mid", "Buy", "", "bán"})
        EXPECT_EQ(SumSettings::rateKindFrom(v), RateKind::transfer) << v;
    EXPECT_EQ(SumSettings::appearanceFrom("light"), Appearance::light);
    EXPECT_EQ(SumSettings::appearanceFrom("system"), Appearance::system);
    for (const char* v : {"dark", "Light", "auto", ""})
        EXPECT_EQ(SumSettings::appearanceFrom(v), Appearance::dark) << v;
}

TEST_F(SumSettingsTest, StoredValuesAreReadVerbatimAndMalformedOnesIgnored) {
    {
        auto s = storage();
        s->setValue("numberStyle", QStringList{"vi", "en"});  // not a string
        s->setValue("rateKind", "mid");
        s->setValue("appearance", 42);
        s->setValue("hotkeyCode", "4294967296");
        s->setValue("hotkeyModifiers", "-1");
        s->setValue("hotkeyLabel", "⌘K");
    }
    auto s = storage();
    SumSettings settings(*s, QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(settings.numberStyle(), "en");
    EXPECT_EQ(settings.rateKind(), "mid");
    EXPECT_EQ(settings.defaultVNDKind(), RateKind::transfer);
    EXPECT_EQ(settings.appearance(), "42");
    EXPECT_EQ(settings.windowAppearance(), Appearance::dark);
    EXPECT_EQ(settings.hotkeyCode(), 49u);
    EXPECT_EQ(settings.hotkeyModifiers(), 0x1800u);
    EXPECT_EQ(settings.hotkeyLabel(), "⌘K");
}

TEST_F(SumSettingsTest, SettersStoreEvenWithoutAChangeAndSignalChanges) {
    auto s = storage();
    SumSettings settings(*s, QLocale(QLocale::English, QLocale::UnitedStates));
    int styles = 0, kinds = 0, appearances = 0;
    QObject::connect(&settings, &SumSettings::numberStyleChanged, [&] { ++styles; });
    QObject::connect(&settings, &SumSettings::rateKindChanged, [&] { ++kinds; });
    QObject::connect(&settings, &SumSettings::appearanceChanged, [&] { ++appearances; });

    settings.setNumberStyle("en");  // already "en", but stored so that the locale no longer decides
    EXPECT_EQ(styles, 0);
    EXPECT_EQ(s->value("numberStyle").toString(), "en");
    settings.setNumberStyle("vi");
    EXPECT_EQ(styles, 1);
    settings.setRateKind("sell");
    settings.setRateKind("sell");
    EXPECT_EQ(kinds, 1);
    settings.setAppearance("light");
    EXPECT_EQ(appearances, 1);
    s->sync();

    auto again = storage();
    SumSettings reread(*again, QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(reread.engineNumberStyle(), NumberStyle::vi);
    EXPECT_EQ(reread.defaultVNDKind(), RateKind::sell);
    EXPECT_EQ(reread.windowAppearance(), Appearance::light);
}

TEST_F(SumSettingsTest, ThePanelIconIsOnUntilTurnedOffAndStaysOff) {
    auto s = storage();
    SumSettings settings(*s);
    EXPECT_TRUE(settings.showPanelIcon());
    int changes = 0;
    QObject::connect(&settings, &SumSettings::panelIconChanged, [&] { ++changes; });
    settings.setShowPanelIcon(false);
    settings.setShowPanelIcon(false);
    EXPECT_EQ(changes, 1);
    s->sync();
    auto again = storage();
    EXPECT_FALSE(SumSettings(*again).showPanelIcon());
    again->setValue("showPanelIcon", "garbage");  // anything but "false" leaves it on
    EXPECT_TRUE(SumSettings(*again).showPanelIcon());
}

TEST_F(SumSettingsTest, AStoredAltSpaceFromAnEarlierDefaultIsKept) {
    {
        auto s = storage();
        s->setValue("hotkeyCode", 49);
        s->setValue("hotkeyModifiers", 0x800);
        s->setValue("hotkeyLabel", "⌥Space");
    }
    auto s = storage();
    SumSettings settings(*s);
    EXPECT_EQ(settings.hotkeyModifiers(), 0x800u);
    EXPECT_EQ(settings.hotkeyLabel(), "⌥Space");
    EXPECT_EQ(s->value("hotkeyModifiers").toUInt(), 0x800u);
}

TEST_F(SumSettingsTest, RecordingIgnoresPlainKeysAndEscape) {
    auto s = storage();
    SumSettings settings(*s);
    int registrations = 0;
    QObject::connect(&settings, &SumSettings::hotkeyRecorded, [&] { ++registrations; });
    settings.recordHotkey({0, 40, "k"});
    settings.recordHotkey({HotKeyPress::other, 40, "k"});  // Caps Lock alone is no modifier
    settings.recordHotkey({HotKeyPress::command | HotKeyPress::shift, HotKeyPress::escapeKeyCode, ""});
    EXPECT_EQ(registrations, 0);
    EXPECT_EQ(settings.hotkeyCode(), 49u);
    EXPECT_FALSE(s->contains("hotkeyCode"));
}

TEST_F(SumSettingsTest, RecordingBuildsTheMaskAndLabelAndStoresThem) {
    struct Case {
        unsigned modifiers;
        std::uint32_t code;
        const char* characters;
        std::uint32_t mask;
        const char* label;
    };
    const unsigned all = HotKeyPress::control | HotKeyPress::option | HotKeyPress::shift | HotKeyPress::command;
    for (const Case& c :
         {Case{all, 40, "k", 0x1B00, "Ctrl+Alt+Shift+Super+K"}, Case{HotKeyPress::option, 49, " ", 0x800, "Alt+Space"},
          Case{HotKeyPress::control | HotKeyPress::option, 49, " ", 0x1800, "Ctrl+Alt+Space"},
          Case{HotKeyPress::command | HotKeyPress::other, 18, "1", 0x100, "Super+1"},
          Case{HotKeyPress::shift | HotKeyPress::control, 10, "§", 0x1200, "Ctrl+Shift+§"}}) {
        auto s = storage();
        SumSettings settings(*s);
        settings.setLastError(QStringLiteral("old failure"));
        settings.recordHotkey({c.modifiers, c.code, QString::fromUtf8(c.characters)});
        EXPECT_EQ(settings.hotkeyCode(), c.code);
        EXPECT_EQ(settings.hotkeyModifiers(), c.mask);
        EXPECT_EQ(settings.hotkeyLabel(), QString::fromUtf8(c.label));
        EXPECT_EQ(settings.lastError(), std::nullopt);
        EXPECT_EQ(s->value("hotkeyCode").toUInt(), c.code);
        EXPECT_EQ(s->value("hotkeyModifiers").toUInt(), c.mask);
        EXPECT_EQ(s->value("hotkeyLabel").toString(), QString::fromUtf8(c.label));
    }
}

TEST_F(SumSettingsTest, AKeyThatCannotBeRegisteredLeavesThePreviousOneInForce) {
    auto s = storage();
    SumSettings settings(*s);
    settings.recordHotkey({HotKeyPress::control, 40, "k"});  // stored: Ctrl+K
    std::vector<std::uint32_t> registered;
    QObject::connect(&settings, &SumSettings::hotkeyRecorded, [&] {
        registered.push_back(settings.hotkeyCode());
        if (settings.hotkeyCode() == 1) settings.refuseHotkey("The combination is taken");
    });
    settings.recordHotkey({HotKeyPress::command, 1, "s"});
    EXPECT_EQ(registered, (std::vector<std::uint32_t>{1, 40}));
    settings.refuseHotkey("too late");  // outside the signal: nothing to refuse
    EXPECT_EQ(settings.hotkeyCode(), 40u);
    EXPECT_EQ(settings.hotkeyCode(), 40u);
    EXPECT_EQ(settings.hotkeyModifiers(), SumSettings::controlMask);
    EXPECT_EQ(settings.hotkeyLabel(), "Ctrl+K");
    EXPECT_EQ(settings.lastError(), "The combination is taken");
    EXPECT_EQ(s->value("hotkeyCode").toUInt(), 40u);
    EXPECT_EQ(s->value("hotkeyLabel").toString(), "Ctrl+K");

    settings.resetHotkey();
    EXPECT_EQ(settings.hotkeyModifiers(), 0x1800u);
    EXPECT_EQ(settings.hotkeyLabel(), "Ctrl+Alt+Space");
    EXPECT_EQ(settings.lastError(), std::nullopt);
}

}  // namespace
}  // namespace quibsum

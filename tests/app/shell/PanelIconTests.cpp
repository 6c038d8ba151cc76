// The panel icon's menu and click, and the settings row that turns it on and off, on the
// offscreen platform (which has no panel: the icon stays hidden whatever the setting).

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>

#include "QuibSum/desktop/PanelIcon.h"
#include "QuibSum/settings/SettingsWindow.h"
#include "QuibSum/storage/SumSettings.h"

namespace quibsum {
namespace {

TEST(PanelIcon, EachMenuItemAsksForItsOwnAction) {
    PanelIcon icon;
    const struct {
        const char* text;
        void (PanelIcon::*signal)();
    } items[] = {
        {"Show Quib Sum", &PanelIcon::showRequested},
        {"New Sheet", &PanelIcon::newSheetRequested},
        {"Update Rates", &PanelIcon::updateRatesRequested},
        {"Settings…", &PanelIcon::settingsRequested},
        {"Quit", &PanelIcon::quitRequested},
    };
    QStringList texts;
    for (QAction* action : icon.menu()->actions())
        if (!action->isSeparator()) texts << action->text();
    ASSERT_EQ(texts.size(), int(std::size(items)));
    for (const auto& item : items) {
        SCOPED_TRACE(item.text);
        QSignalSpy asked(&icon, item.signal);
        QSignalSpy toggled(&icon, &PanelIcon::toggleRequested);
        QAction* action = nullptr;
        for (QAction* a : icon.menu()->actions())
            if (a->text() == QString::fromUtf8(item.text)) action = a;
        ASSERT_NE(action, nullptr);
        action->trigger();
        EXPECT_EQ(asked.count(), 1);
        EXPECT_EQ(toggled.count(), 0);
    }
}

TEST(PanelIcon, WithoutAPanelItStaysHiddenAndItsSwitchIsOff) {
    ASSERT_FALSE(PanelIcon::available()) << "the offscreen platform has no panel";
    PanelIcon icon;
    icon.setWanted(true);
    EXPECT_FALSE(icon.isShown());

    QTemporaryDir dir;
    QSettings storage(dir.path() + QStringLiteral("/QuibSum.conf"), QSettings::IniFormat);
    SumSettings settings(storage);
    SettingsWindow root(settings, nullptr, LaunchAtLogin(dir.path() + QStringLiteral("/autostart")));
    auto* row = root.findChild<QCheckBox*>(QStringLiteral("showPanelIcon"));
    ASSERT_NE(row, nullptr);
    EXPECT_FALSE(row->isEnabled());
    EXPECT_FALSE(row->isChecked());
    EXPECT_FALSE(row->toolTip().isEmpty());
    EXPECT_TRUE(settings.showPanelIcon()) << "the stored choice is kept for a desktop that has a panel";
}

}  // namespace
}  // namespace quibsum

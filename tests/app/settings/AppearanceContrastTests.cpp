// Every surface follows the appearance, and its text reads at 4.5:1 or more on what it is
// drawn on, light and dark: the sheet's colours, the footer with its total (hovered too), the
// footer's menu and submenus, the settings window with its fields, errors and badge.

#include <gtest/gtest.h>

#include <QLabel>
#include <QMenu>
#include <QSettings>
#include <QTemporaryDir>
#include <QToolButton>
#include <memory>

#include "QuibSum/editor/EditorTheme.h"
#include "QuibSum/editor/EditorView.h"
#include "QuibSum/editor/SumTextView.h"
#include "QuibSum/editor/TotalFooter.h"
#include "QuibSum/settings/LaunchAtLogin.h"
#include "QuibSum/settings/SettingsWindow.h"
#include "QuibSum/storage/SumSettings.h"
#include "tests/support/TestRates.h"

using namespace quibsum;

namespace {

constexpr double minimum = 4.5;

struct Pair {
    QPalette::ColorRole text;
    QPalette::ColorRole on;
};

// What Qt draws text with, on what, in menus, buttons and fields.
constexpr Pair widgetPairs[] = {
    {QPalette::WindowText, QPalette::Window},
    {QPalette::Text, QPalette::Base},
    {QPalette::Text, QPalette::Window},
    {QPalette::ButtonText, QPalette::Button},
    {QPalette::ButtonText, QPalette::Window},
    {QPalette::HighlightedText, QPalette::Highlight},
    {QPalette::ToolTipText, QPalette::ToolTipBase},
    {QPalette::PlaceholderText, QPalette::Base},
};

void expectReadable(const QPalette& palette, const char* surface) {
    for (auto group : {QPalette::Active, QPalette::Inactive}) {
        for (const Pair& pair : widgetPairs) {
            const QColor text = palette.color(group, pair.text), on = palette.color(group, pair.on);
            EXPECT_GE(EditorTheme::contrast(text, on), minimum)
                << surface << ": role " << pair.text << " " << text.name().toStdString() << " on role " << pair.on
                << " " << on.name().toStdString();
        }
    }
}

class AppearanceTest : public ::testing::TestWithParam<bool> {
protected:
    QTemporaryDir dir;
    QSettings storage{dir.path() + "/QuibSum.conf", QSettings::IniFormat};
    SumSettings settings{storage, QLocale(QLocale::English, QLocale::UnitedStates)};
    EditorTheme theme{GetParam()};
    QColor background() const { return theme.color(PaletteRole::background); }
};

TEST_P(AppearanceTest, TheSheetsColoursReadOnItsBackground) {
    EXPECT_EQ(theme.palette().color(QPalette::Window), background());
    for (PaletteRole role : {PaletteRole::text, PaletteRole::keyword, PaletteRole::unit, PaletteRole::currency,
                             PaletteRole::result, PaletteRole::heading, PaletteRole::comment, PaletteRole::variable,
                             PaletteRole::error, PaletteRole::footerText})
        EXPECT_GE(EditorTheme::contrast(theme.color(role), background()), minimum) << static_cast<int>(role);
    EXPECT_GE(EditorTheme::contrast(theme.color(PaletteRole::selectionText), theme.color(PaletteRole::selection)),
              minimum);
    expectReadable(theme.palette(), "widgets");
}

TEST_P(AppearanceTest, TheSheetsContextMenuFollowsTheAppearance) {
    EditorView editor(QStringLiteral("1 + 1"),
                      Engine(quibsum::testing::testRates(), NumberStyle::en, RateKind::transfer), theme);
    std::unique_ptr<QMenu> menu(editor.textView()->themedContextMenu(QPoint(4, 4)));
    EXPECT_EQ(menu->palette().color(QPalette::Window), background());
    expectReadable(menu->palette(), "the sheet's context menu");
}

TEST_P(AppearanceTest, TheFooterItsTotalAndItsMenusFollowTheAppearance) {
    TotalFooter footer(settings);
    footer.setTheme(theme);
    // The owner adds a submenu after the theme is set: it is themed when the menu opens.
    QMenu* added = footer.settingsMenu()->addMenu(QStringLiteral("File"));
    expectReadable(footer.palette(), "footer");
    for (const bool error : {false, true}) {
        footer.setTotal(error ? PageTotal{PageTotal::Incompatible{}}
                              : PageTotal{PageTotal::Value{Quantity{Decimal(1), std::nullopt, std::nullopt}, "1", 1}});
        const QPalette value = footer.valueButton()->palette();
        // Drawn on the footer, and on the tile a hovered button shows.
        for (auto on : {QPalette::Window, QPalette::Button})
            EXPECT_GE(EditorTheme::contrast(value.color(QPalette::ButtonText), value.color(on)), minimum)
                << (error ? "error " : "total ") << on;
    }
    emit footer.settingsMenu()->aboutToShow();
    QList<QMenu*> menus = footer.settingsMenu()->findChildren<QMenu*>();
    menus.prepend(footer.settingsMenu());
    ASSERT_GE(menus.size(), 4);  // the three choice submenus and the one added
    EXPECT_TRUE(menus.contains(added));
    for (QMenu* menu : menus) {
        SCOPED_TRACE(menu->title().toStdString());
        EXPECT_EQ(menu->palette().color(QPalette::Window), background());
        expectReadable(menu->palette(), "menu");
    }
}

TEST_P(AppearanceTest, TheSettingsWindowFollowsTheAppearance) {
    settings.setAppearance(GetParam() ? QStringLiteral("dark") : QStringLiteral("light"));
    SettingsWindow root(settings, nullptr, LaunchAtLogin(dir.path() + "/autostart"));
    EXPECT_EQ(root.palette().color(QPalette::Window), background());
    expectReadable(root.palette(), "settings");
    EXPECT_GE(EditorTheme::contrast(theme.color(PaletteRole::error), root.palette().color(QPalette::Window)), minimum);
    if (auto* badge = root.findChild<QLabel*>(QStringLiteral("releaseStage"))) {
        badge->ensurePolished();
        const QPalette p = badge->palette();
        EXPECT_GE(EditorTheme::contrast(p.color(QPalette::WindowText), p.color(QPalette::Window)), minimum);
        EXPECT_GE(EditorTheme::contrast(p.color(QPalette::WindowText), background()), minimum);
    }
}

INSTANTIATE_TEST_SUITE_P(Appearances, AppearanceTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "dark" : "light"; });

TEST(Contrast, MeasuresAsTheGuidelinesDo) {
    EXPECT_NEAR(EditorTheme::contrast(Qt::black, Qt::white), 21.0, 1e-9);
    EXPECT_NEAR(EditorTheme::contrast(Qt::white, Qt::white), 1.0, 1e-9);
    EXPECT_NEAR(EditorTheme::contrast(QColor(0x777777), Qt::white), 4.48, 0.01);
}

}  // namespace

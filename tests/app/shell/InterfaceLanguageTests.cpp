// The interface language: which one the desktop's languages choose, and that the built-in
// translations cover what they must (every engine message in English).

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTranslator>
#include <memory>

#include "QuibSum/common/InterfaceLanguage.h"
#include "QuibSum/settings/SettingsWindow.h"
#include "QuibSum/shell/QtWidgetTexts.h"
#include "QuibSum/shell/hotkey/HotKeyError.h"
#include "QuibSum/storage/SheetStore.h"
#include "QuibSum/storage/SumSettings.h"
#include "QuibSumCore/EngineMessages.h"

namespace quibsum {
namespace {

TEST(InterfaceLanguage, TheFirstLanguageDecides) {
    const std::vector<std::pair<QStringList, QString>> rows = {
        {{"vi-VN", "en-US"}, "vi"}, {{"vi"}, "vi"}, {{"en-GB", "vi-VN"}, "en"},
        {{"fr-FR"}, "en"},          {{}, "en"},     {{"C", "vi_VN"}, "vi"},
    };
    for (const auto& [languages, expected] : rows)
        EXPECT_EQ(InterfaceLanguage::choose(languages), expected) << languages.join(',').toStdString();
}

TEST(InterfaceLanguage, EveryEngineMessageReadsInEnglish) {
    QTranslator english;
    ASSERT_TRUE(english.load(QStringLiteral(":/i18n/quibsum_en.qm")));
    for (std::string_view message : messages::all) {
        const QString text = english.translate("EngineMessages", std::string(message).c_str());
        EXPECT_FALSE(text.isEmpty()) << message;
        for (QChar c : text) EXPECT_LT(c.unicode(), 0x80) << text.toStdString();
    }
}

TEST(InterfaceLanguage, TheVietnameseInterfaceIsBuiltIn) {
    QTranslator vietnamese;
    ASSERT_TRUE(vietnamese.load(QStringLiteral(":/i18n/quibsum_vi.qm")));
    // Widgets translate under their class's qualified name.
    EXPECT_EQ(vietnamese.translate("quibsum::TotalFooter", "Total:"), "Tổng:");
    EXPECT_EQ(vietnamese.translate("quibsum::SumWindow", "Delete this sheet?"), "Xoá trang này?");
    EXPECT_EQ(vietnamese.translate("EditorView", "Source: rate typed in this sheet"),
              "Nguồn: tỷ giá nhập trong trang này");
}

// The settings window and the texts the sheet store makes (the quick sheet's title) read in
// Vietnamese as shown, under the contexts their classes translate with.
TEST(InterfaceLanguage, TheSettingsWindowAndTheStoreReadInVietnamese) {
    QTranslator vietnamese;
    ASSERT_TRUE(vietnamese.load(QStringLiteral(":/i18n/quibsum_vi.qm")));
    ASSERT_TRUE(QCoreApplication::installTranslator(&vietnamese));
    QTemporaryDir dir;
    QSettings storage(dir.path() + QStringLiteral("/QuibSum.conf"), QSettings::IniFormat);
    SumSettings settings(storage);
    SettingsWindow window(settings, nullptr, LaunchAtLogin(dir.path() + QStringLiteral("/autostart")));
    EXPECT_EQ(window.windowTitle(), "Cài đặt");
    EXPECT_EQ(window.findChild<QLineEdit*>(QStringLiteral("search"))->placeholderText(), "Tìm cài đặt…");
    auto* sidebar = window.findChild<QListWidget*>(QStringLiteral("sidebar"));
    ASSERT_NE(sidebar, nullptr);
    EXPECT_EQ(sidebar->item(0)->text(), "Chung");
    const SheetStore store(dir.path() + QStringLiteral("/Sheets"));
    EXPECT_EQ(store.record(SheetStore::quickSheetID)->title, "Nhanh");
    QCoreApplication::removeTranslator(&vietnamese);
}

// Qt's own widgets in the window speak Vietnamese too: their texts come with the program's
// translations (Debian has no Vietnamese Qt translation to rely on).
TEST(InterfaceLanguage, QtsOwnWidgetsReadInVietnamese) {
    QTranslator vietnamese;
    ASSERT_TRUE(vietnamese.load(QStringLiteral(":/i18n/quibsum_vi.qm")));
    for (const QtWidgetTexts::Text& text : QtWidgetTexts::all())
        EXPECT_FALSE(vietnamese.translate(text.context, text.source).isEmpty()) << text.context << " " << text.source;

    ASSERT_TRUE(QCoreApplication::installTranslator(&vietnamese));
    // Every item of the context menus is one the translations carry: none is left in English.
    auto menuTexts = [](QMenu* menu) {
        QStringList texts;
        for (QAction* action : menu->actions())
            if (!action->isSeparator()) texts << action->text().section(u'\t', 0, 0);
        delete menu;
        return texts;
    };
    QPlainTextEdit sheet(QStringLiteral("1 + 1"));
    QLineEdit field(QStringLiteral("abc"));
    const QStringList sheetMenu = menuTexts(sheet.createStandardContextMenu());
    const QStringList fieldMenu = menuTexts(field.createStandardContextMenu());
    EXPECT_TRUE(sheetMenu.contains(QString::fromUtf8("&Hoàn tác"))) << sheetMenu.join(u'|').toStdString();
    EXPECT_TRUE(sheetMenu.contains(QString::fromUtf8("Chọn tất cả"))) << sheetMenu.join(u'|').toStdString();
    for (const QStringList& menu : {sheetMenu, fieldMenu}) {
        EXPECT_GE(menu.size(), 7);
        for (const QString& item : menu)
            for (const QtWidgetTexts::Text& text : QtWidgetTexts::all())
                EXPECT_NE(item, QString::fromUtf8(text.source)) << "left in English: " << item.toStdString();
    }
    QDialogButtonBox buttons(QDialogButtonBox::Close | QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    EXPECT_EQ(buttons.button(QDialogButtonBox::Close)->text(), QString::fromUtf8("Đóng"));
    EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text(), QString::fromUtf8("Huỷ"));
    EXPECT_EQ(HotKeyError::taken(65, 0).message(),
              HotKeyError::describe(65, 0) + QString::fromUtf8(" đã bị một chương trình khác dùng."));
    QCoreApplication::removeTranslator(&vietnamese);
}

}  // namespace
}  // namespace quibsum

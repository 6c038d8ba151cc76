// The interface language: which one the desktop's languages choose, and that the built-in
// translations cover what they must (every engine message in English).

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTranslator>

#include "QuibSum/shell/InterfaceLanguage.h"
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

}  // namespace
}  // namespace quibsum

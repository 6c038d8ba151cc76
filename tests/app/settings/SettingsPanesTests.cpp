// Which panes the settings search lists for what people type, with and without Vietnamese
// accents, in any case.

#include <gtest/gtest.h>

#include <QStringList>

#include "QuibSum/settings/SettingsPanes.h"

using namespace quibsum;

namespace {

const QStringList everyPane{"general", "shortcut", "rates", "about"};

TEST(SettingsPanes, SearchTable) {
    const struct {
        const char* query;
        QStringList panes;
    } rows[] = {
        {"tỷ giá", {"rates"}},
        {"ty gia", {"rates"}},
        {"TY GIA", {"rates"}},
        {"Tỷ Giá", {"rates"}},
        {"DOI TIEN", {"rates"}},
        {"đổi", {"rates"}},
        {"ĐỔI TIỀN", {"rates"}},
        {"donate", {"about"}},
        {"vietcombank", {"rates"}},
        {"shortcut", {"shortcut"}},
        {"launch at", {"general"}},
        {"  version  ", {"about"}},
        {"convert", {"rates"}},
        {"rate", {"general", "rates"}},  // "Default VND rate"
        {"zzz", {}},
        {"", everyPane},
        {"   ", everyPane},
        {"\t\n ", everyPane},
    };
    for (const auto& row : rows)
        EXPECT_EQ(SettingsPanes::matching(QString::fromUtf8(row.query)).join(',').toStdString(),
                  row.panes.join(',').toStdString())
            << row.query;
}

TEST(SettingsPanes, QueryOfMarksAloneFindsNothing) {
    // A lone combining accent folds to nothing, which no pane is found by.
    EXPECT_EQ(SettingsPanes::matching(QString(QChar(0x0301))), QStringList{});
}

TEST(SettingsPanes, Folding) {
    EXPECT_EQ(SettingsPanes::fold(QStringLiteral("ĐỔI TIỀN")), QStringLiteral("doi tien"));
    EXPECT_EQ(SettingsPanes::fold(QStringLiteral("tỷ giá")), QStringLiteral("ty gia"));
    // Already decomposed input folds the same way.
    EXPECT_EQ(SettingsPanes::fold(QStringLiteral("tỷ giá").normalized(QString::NormalizationForm_D)),
              QStringLiteral("ty gia"));
}

}  // namespace

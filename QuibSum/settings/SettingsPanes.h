#pragma once
// SettingsPanes: the settings window's four panes in sidebar order, the words each one is
// found by, and the search that filters them. Matching ignores case and accents and reads
// "đ" as "d", so a query typed without Vietnamese input (ty gia, DOI TIEN) still finds
// "tỷ giá" and "đổi tiền".

#include <QString>
#include <QStringList>
#include <vector>

namespace quibsum {

struct SettingsPane {
    QString id;         // "general", "shortcut", "rates", "about"
    QString title;      // translated
    QStringList terms;  // never translated: the English and Vietnamese words people look for
};

namespace SettingsPanes {

const std::vector<SettingsPane>& all();
// The identifiers of the panes the query finds, in sidebar order; every pane for a blank query.
QStringList matching(const QString& query);
// Case and accents folded away, "đ"/"Đ" read as "d".
QString fold(const QString& text);

}  // namespace SettingsPanes

}  // namespace quibsum

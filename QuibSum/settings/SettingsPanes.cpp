#include "QuibSum/settings/SettingsPanes.h"

#include <QCoreApplication>

namespace quibsum::SettingsPanes {

namespace {

QString paneTitle(const char* text) { return QCoreApplication::translate("SettingsWindow", text); }

}  // namespace

const std::vector<SettingsPane>& all() {
    static const std::vector<SettingsPane> panes{
        {QStringLiteral("general"),
         paneTitle(QT_TRANSLATE_NOOP("SettingsWindow", "General")),
         {QStringLiteral("Appearance"), QStringLiteral("Number style"), QStringLiteral("Default currency"),
          QStringLiteral("Default VND rate"), QStringLiteral("Launch at login"),
          QStringLiteral("Show icon in the panel")}},
        {QStringLiteral("shortcut"),
         paneTitle(QT_TRANSLATE_NOOP("SettingsWindow", "Shortcut")),
         {QStringLiteral("Window shortcut"), QStringLiteral("Record shortcut"), QStringLiteral("Reset shortcut")}},
        {QStringLiteral("rates"),
         paneTitle(QT_TRANSLATE_NOOP("SettingsWindow", "Exchange rates")),
         {QStringLiteral("Exchange rates"), QStringLiteral("Live rates"), QStringLiteral("Update Rates"),
          QStringLiteral("Refresh exchange rates"), QStringLiteral("Bundled rates"), QStringLiteral("Vietcombank"),
          QStringLiteral("ExchangeRate-API"), QStringLiteral("How to convert currencies"), QStringLiteral("convert"),
          QStringLiteral("đổi tiền"), QStringLiteral("tỷ giá")}},
        {QStringLiteral("about"),
         paneTitle(QT_TRANSLATE_NOOP("SettingsWindow", "About")),
         {QStringLiteral("Quib Sum"), QStringLiteral("Version"), QStringLiteral("Support Quib Sum"),
          QStringLiteral("Donate…"), QStringLiteral("Updates"), QStringLiteral("Check for Updates…")}},
    };
    return panes;
}

QString fold(const QString& text) {
    // Decomposed, an accented letter is its base letter followed by combining marks, which
    // are dropped. "đ" has no decomposition, so it is mapped by hand.
    const QString decomposed = text.normalized(QString::NormalizationForm_KD);
    QString folded;
    folded.reserve(decomposed.size());
    for (QChar c : decomposed) {
        if (c.category() == QChar::Mark_NonSpacing || c.category() == QChar::Mark_SpacingCombining ||
            c.category() == QChar::Mark_Enclosing)
            continue;
        if (c == QChar(0x0111) || c == QChar(0x0110)) c = QLatin1Char('d');
        folded += c;
    }
    return folded.toCaseFolded();
}

QStringList matching(const QString& query) {
    QStringList ids;
    const QString trimmed = query.trimmed();
    if (trimmed.isEmpty()) {
        for (const SettingsPane& pane : all()) ids << pane.id;
        return ids;
    }
    const QString needle = fold(trimmed);
    if (needle.isEmpty()) return ids;
    for (const SettingsPane& pane : all()) {
        bool found = fold(pane.title).contains(needle);
        for (const QString& term : pane.terms) found = found || fold(term).contains(needle);
        if (found) ids << pane.id;
    }
    return ids;
}

}  // namespace quibsum::SettingsPanes

#include "QuibSum/common/InterfaceLanguage.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTranslator>

namespace quibsum::InterfaceLanguage {

QString choose(const QStringList& uiLanguages) {
    for (const QString& language : uiLanguages) {
        if (language.isEmpty() || language == QLatin1String("C")) continue;
        // The first language named decides; English is also the fallback for the rest.
        return language.startsWith(QLatin1String("vi"), Qt::CaseInsensitive) ? QStringLiteral("vi")
                                                                             : QStringLiteral("en");
    }
    return QStringLiteral("en");
}

QStringList desktopLanguages() {
    QStringList languages = qEnvironmentVariable("LANGUAGE").split(u':', Qt::SkipEmptyParts);
    languages += QLocale::system().uiLanguages();
    return languages;
}

bool install(QCoreApplication& app, const QString& language) {
    auto* translator = new QTranslator(&app);
    if (!translator->load(QStringLiteral(":/i18n/quibsum_%1.qm").arg(language))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

}  // namespace quibsum::InterfaceLanguage

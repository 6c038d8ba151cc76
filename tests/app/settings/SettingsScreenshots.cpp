// Pictures of every settings pane and of the currency guide, light and dark, for the
// documentation and for looking over the layout: drawn on the offscreen platform with
// scratch settings. Usage: SettingsScreenshots OUTPUT_FOLDER [vi]: with "vi", in the Vietnamese
// interface and number style, into files whose names end in "-vi".

#include <QApplication>
#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <cstdio>

#include "QuibSum/common/InterfaceLanguage.h"
#include "QuibSum/settings/SettingsPanes.h"
#include "QuibSum/settings/SettingsWindow.h"
#include "QuibSum/settings/SumCurrencyGuide.h"
#include "QuibSum/storage/SumSettings.h"

using namespace quibsum;

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const bool vietnamese = argc == 3 && QByteArray(argv[2]) == "vi";
    if (argc != 2 && !vietnamese) {
        std::fprintf(stderr, "usage: SettingsScreenshots OUTPUT_FOLDER [vi]\n");
        return 2;
    }
    if (vietnamese && !InterfaceLanguage::install(app, QStringLiteral("vi"))) return 1;
    const QString suffix = vietnamese ? QStringLiteral("-vi") : QString();
    const QLocale locale =
        vietnamese ? QLocale(QLocale::Vietnamese, QLocale::Vietnam) : QLocale(QLocale::English, QLocale::UnitedStates);
    const QDir out(QString::fromLocal8Bit(argv[1]));
    QTemporaryDir scratch;
    for (const char* appearance : {"light", "dark"}) {
        QSettings storage(scratch.path() + "/QuibSum.conf", QSettings::IniFormat);
        SumSettings settings(storage, locale);
        settings.setAppearance(QString::fromLatin1(appearance));
        settings.setRateStatus(QStringLiteral("Vietcombank: today 09:30 · ExchangeRate-API: today 07:00"));
        SettingsWindow root(settings, nullptr, LaunchAtLogin(scratch.path() + "/autostart"));
        root.resize(720, 480);
        root.present();
        for (const SettingsPane& pane : SettingsPanes::all()) {
            root.select(pane.id);
            QApplication::processEvents();
            const QString file = out.filePath(QStringLiteral("settings-%1-%2%3.png").arg(pane.id, appearance, suffix));
            if (!root.grab().save(file)) return 1;
            std::printf("%s\n", qPrintable(file));
        }
        SumCurrencyGuide guide(settings.engineNumberStyle(), &root);
        guide.setPalette(root.palette());
        guide.setAutoFillBackground(true);
        guide.resize(520, 900);
        guide.show();
        QApplication::processEvents();
        const QString file = out.filePath(QStringLiteral("currency-guide-%1%2.png").arg(appearance, suffix));
        if (!guide.grab().save(file)) return 1;
        std::printf("%s\n", qPrintable(file));
    }
    return 0;
}

#include "QuibSum/storage/AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSettings>

#include "QuibSum/storage/SettingsFile.h"
#include "QuibSumRates/RateCache.h"

namespace quibsum::AppPaths {

namespace {

QString fromEnvironment(const char* name) { return QString::fromLocal8Bit(qgetenv(name)); }

}  // namespace

QString dataDirectory() {
    // The rate cache decides where the shared folder is; asking it keeps sheets and rates
    // side by side under every combination of variables.
    return QString::fromStdString(RateCache::defaultLocation().parent_path().string());
}

QString sheetsDirectory() { return dataDirectory() + QStringLiteral("/Sheets"); }

QString configDirectory() {
    if (QString dir = fromEnvironment("QUIBSUM_CONFIG_DIR"); !dir.isEmpty()) return dir;
    // A relative XDG_CONFIG_HOME is invalid and ignored, as for the data folder.
    if (QString home = fromEnvironment("XDG_CONFIG_HOME"); home.startsWith(u'/'))
        return home + QStringLiteral("/QuibSum");
    return QDir::homePath() + QStringLiteral("/.config/QuibSum");
}

QString settingsFile() { return configDirectory() + QStringLiteral("/QuibSum.conf"); }

std::unique_ptr<QSettings> openSettings(std::optional<QString>& refusal) {
    return SettingsFile::open(settingsFile(), refusal);
}

std::unique_ptr<QSettings> openSettings() {
    std::optional<QString> refusal;
    return openSettings(refusal);
}

}  // namespace quibsum::AppPaths

#include "QuibSum/storage/AppPaths.h"

#include <QDir>
#include <QSettings>

#include "QuibSumRates/RateCache.h"

namespace quibsum::AppPaths {

namespace {

QString fromEnvironment(const char* name) {
    return QString::fromLocal8Bit(qgetenv(name));
}

}  // namespace

QString dataDirectory() {
    // The rate cache decides where the shared folder is; asking it keeps sheets and rates
    // side by side under every combination of variables.
    return QString::fromStdString(RateCache::defaultLocation().parent_path().string());
}

QString sheetsDirectory() {
    return dataDirectory() + QStringLiteral("/Sheets");
}

QString configDirectory() {
    if (QString dir = fromEnvironment("QUIBSUM_CONFIG_DIR"); !dir.isEmpty()) return dir;
    // A relative XDG_CONFIG_HOME is invalid and ignored, as for the data folder.
    if (QString home = fromEnvironment("XDG_CONFIG_HOME"); home.startsWith(u'/'))
        return home + QStringLiteral("/QuibSum");
    return QDir::homePath() + QStringLiteral("/.config/QuibSum");
}

QString settingsFile() {
    return configDirectory() + QStringLiteral("/QuibSum.conf");
}

std::unique_ptr<QSettings> openSettings() {
    return std::make_unique<QSettings>(settingsFile(), QSettings::IniFormat);
}

}  // namespace quibsum::AppPaths

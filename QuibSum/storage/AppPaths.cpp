#include "QuibSum/storage/AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSettings>

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>

#include "QuibSum/storage/SettingsFile.h"

namespace quibsum::AppPaths {

namespace {

QString fromEnvironment(const char* name) { return QString::fromLocal8Bit(qgetenv(name)); }

const char* chosenDataDirectory() {
    const char* dir = std::getenv("QUIBSUM_DATA_DIR");
    return dir != nullptr && *dir != '\0' ? dir : nullptr;
}

// The sheets and the rate cache sit side by side in it, under every combination of variables.
std::filesystem::path dataPath() {
    if (const char* dir = chosenDataDirectory()) return dir;
    // A relative XDG_DATA_HOME is invalid and must be ignored.
    if (const char* dataHome = std::getenv("XDG_DATA_HOME"); dataHome != nullptr && dataHome[0] == '/')
        return std::filesystem::path(dataHome) / "QuibSum";
    const char* home = std::getenv("HOME");
    if (home == nullptr || *home == '\0') {
        const passwd* entry = getpwuid(getuid());
        home = entry != nullptr ? entry->pw_dir : nullptr;
    }
    if (home == nullptr || *home == '\0') throw std::runtime_error("no home folder for the sheets and the rate cache");
    return std::filesystem::path(home) / ".local" / "share" / "QuibSum";
}

}  // namespace

QString dataDirectory() { return QString::fromStdString(dataPath().string()); }

bool dataDirectoryChosen() { return chosenDataDirectory() != nullptr; }

QString sheetsDirectory() { return dataDirectory() + QStringLiteral("/Sheets"); }

std::filesystem::path rateCacheFile() { return dataPath() / "rates.json"; }

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

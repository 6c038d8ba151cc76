#pragma once
// Where the application keeps its files: the data folder (sheets and the rate cache) and the
// configuration folder (settings and window state). QUIBSUM_DATA_DIR and QUIBSUM_CONFIG_DIR
// replace the two folders, so that tests and scripts never touch the real home folder.

#include <QString>

#include <filesystem>
#include <memory>
#include <optional>

class QSettings;

namespace quibsum::AppPaths {

// $QUIBSUM_DATA_DIR, else $XDG_DATA_HOME/QuibSum (~/.local/share/QuibSum): the folder of the
// sheets and the rate cache. Throws std::runtime_error when there is no home folder.
QString dataDirectory();
// Whether QUIBSUM_DATA_DIR chose the data folder (a test's or a script's scratch folder).
bool dataDirectoryChosen();
// dataDirectory()/Sheets.
QString sheetsDirectory();
// dataDirectory()/rates.json, the rate cache (RateCache, LiveRateStore).
std::filesystem::path rateCacheFile();
// $QUIBSUM_CONFIG_DIR, else $XDG_CONFIG_HOME/QuibSum (~/.config/QuibSum).
QString configDirectory();
// configDirectory()/QuibSum.conf.
QString settingsFile();
// The application's settings database, in INI format at settingsFile(), kept private
// (SettingsFile). Throws StorageError when something other than a regular file stands there.
// A file too large to read leaves the defaults in force, unsaved, and `refusal` says so.
std::unique_ptr<QSettings> openSettings(std::optional<QString>& refusal);
// The same, for a second view of settings whose refusal was already reported.
std::unique_ptr<QSettings> openSettings();

}  // namespace quibsum::AppPaths

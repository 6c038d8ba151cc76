#pragma once
// SettingsFile: the settings database in its INI file, kept private to the user. The folder
// and the file are created owner-only (0700 and 0600) whatever the umask, before the first
// write; each write replaces the file atomically (QSettings writes through QSaveFile, which
// keeps the mode of the file it replaces). A file beyond maxBytes is never read nor written:
// the settings are then the defaults, kept in memory only, and the caller is told why. One
// that grows beyond it while open is not written either (but QSettings still reads it to
// write changes left pending at the end, which an event loop leaves none of).

#include <QSettings>
#include <QString>

#include <memory>
#include <optional>

namespace quibsum {

class SettingsFile : public QSettings {
public:
    // Far beyond any settings Quib Sum writes (a few hundred bytes), and small enough to read
    // at once; like the sheet index's and the rate cache's.
    static constexpr qint64 maxBytes = 1024 * 1024;

    // The settings at `path`. Throws StorageError when something other than a regular file
    // stands there. When the file is larger than maxBytes, `refusal` gets a message for a
    // person, and the settings returned start from the defaults and are never stored.
    static std::unique_ptr<QSettings> open(const QString& path, std::optional<QString>& refusal);

    explicit SettingsFile(const QString& path);
    ~SettingsFile() override;

protected:
    // QSettings writes its changes on an update request it posts to itself: the file is made
    // private just before.
    bool event(QEvent* event) override;

private:
    // Makes every missing folder of the file's path owner-only, and the file itself, creating
    // it empty when missing.
    void makePrivate() const;
};

}  // namespace quibsum

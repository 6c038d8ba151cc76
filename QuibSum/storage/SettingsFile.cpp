#include "QuibSum/storage/SettingsFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>

#include "QuibSum/storage/StorageError.h"
#include "QuibSumFiles/StoredFile.h"

namespace quibsum {

namespace {

QString quoted(const QString& path) { return QStringLiteral("“%1”").arg(path); }

// Settings that are neither read from nor written to their file.
bool readNothing(QIODevice&, QSettings::SettingsMap&) { return true; }
bool writeNothing(QIODevice&, const QSettings::SettingsMap&) { return false; }

QSettings::Format unstoredFormat() {
    static const QSettings::Format format =
        QSettings::registerFormat(QStringLiteral("conf"), readNothing, writeNothing);
    return format;
}

}  // namespace

std::unique_ptr<QSettings> SettingsFile::open(const QString& path, std::optional<QString>& refusal) {
    refusal.reset();
    // QSettings would open a FIFO or a device and wait on it forever, and read a file of any
    // size whole: refuse both before it tries.
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) == 0) {
        if (!S_ISREG(info.st_mode)) {
            throw StorageError(
                StorageError::Kind::file,
                QCoreApplication::translate("SumSettings", "Could not read the settings %1: it is not a regular file")
                    .arg(quoted(path)));
        }
        if (info.st_size > maxBytes) {
            refusal = QCoreApplication::translate("SumSettings",
                                                  "Could not read the settings %1: it is larger than the %2 limit. "
                                                  "The default settings are used, and changes are not saved.")
                          .arg(quoted(path), QString::fromStdString(StoredFile::sizeText(maxBytes)));
            return std::make_unique<QSettings>(path, unstoredFormat());
        }
    }
    return std::make_unique<SettingsFile>(path);
}

SettingsFile::SettingsFile(const QString& path) : QSettings(path, QSettings::IniFormat) {}

SettingsFile::~SettingsFile() {
    // QSettings writes what is pending as it is destroyed, after this body, with no event
    // before: a write that no event loop ran still finds a private file.
    if (!allKeys().isEmpty()) makePrivate();
}

bool SettingsFile::event(QEvent* event) {
    if (event->type() == QEvent::UpdateRequest) {
        // Writing merges what the file holds now: one grown beyond the limit since it was
        // opened is left alone, and the changes stay in force unsaved.
        if (QFileInfo(fileName()).size() > maxBytes) return true;
        makePrivate();
    }
    return QSettings::event(event);
}

void SettingsFile::makePrivate() const {
    const QFileInfo file(fileName());
    try {
        StoredFile::makeFolders(QFile::encodeName(file.absolutePath()).toStdString());
    } catch (const StoredFileError&) {
        return;  // QSettings cannot write either, and says so in its status
    }
    const QByteArray native = QFile::encodeName(file.absoluteFilePath());
    // O_NOFOLLOW: a link put in the file's place is not followed to make some other file.
    const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    if (fd < 0) return;  // QSettings reports the failure to write
    struct stat info {};
    // A file an earlier version left open to others is narrowed; the replacement keeps its mode.
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && (info.st_mode & 077) != 0) ::fchmod(fd, 0600);
    ::close(fd);
}

}  // namespace quibsum

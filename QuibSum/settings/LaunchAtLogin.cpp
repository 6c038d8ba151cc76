#include "QuibSum/settings/LaunchAtLogin.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <stdexcept>

#include "QuibSumFiles/StoredFile.h"

namespace quibsum {

namespace {

[[noreturn]] void fail(const QString& message) { throw std::runtime_error(message.toStdString()); }

QString tr(const char* text) { return QCoreApplication::translate("LaunchAtLogin", text); }

}  // namespace

QString LaunchAtLogin::standardFolder() {
    const QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    const QString base = QDir::isAbsolutePath(configHome) ? configHome : QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/autostart");
}

QString LaunchAtLogin::entryText() {
    // The entry the package installs for the same purpose, built into the program.
    QFile shipped(QStringLiteral(":/quibsum/quibsum-autostart.desktop"));
    if (!shipped.open(QIODevice::ReadOnly)) fail(QStringLiteral("the login entry is not built into the program"));
    return QString::fromUtf8(shipped.readAll());
}

LaunchAtLogin::LaunchAtLogin(QString folder) : folder_(std::move(folder)) {}

QString LaunchAtLogin::filePath() const { return folder_ + QLatin1Char('/') + QLatin1String(fileName); }

bool LaunchAtLogin::isEnabled() const {
    QFile file(filePath());
    if (!file.open(QIODevice::ReadOnly)) return false;
    // A login entry is a few hundred bytes; whatever sits at its path (a huge file, a link to
    // a device that never ends) is read no further than this.
    constexpr qint64 readLimit = 64 * 1024;
    for (const QByteArray& line : file.read(readLimit).split('\n')) {
        const QByteArray trimmed = line.trimmed();
        if (trimmed == "Hidden=true" || trimmed == "X-GNOME-Autostart-enabled=false") return false;
    }
    return true;
}

void LaunchAtLogin::setEnabled(bool enabled) {
    const QString path = filePath();
    if (!enabled) {
        QFile file(path);
        if (file.exists() && !file.remove())
            fail(tr("Cannot remove %1: %2").arg(QDir::toNativeSeparators(path), file.errorString()));
        return;
    }
    // Its Exec line runs at every login: a file, or a folder made for it, that others could
    // write would let them run anything as this user.
    try {
        StoredFile::makeFolders(QFile::encodeName(folder_).toStdString());
    } catch (const StoredFileError&) {
        fail(tr("Cannot create the folder %1.").arg(QDir::toNativeSeparators(folder_)));
    }
    try {
        StoredFile::replace(QFile::encodeName(path).toStdString(), entryText().toUtf8().toStdString(), 0600);
    } catch (const StoredFileError& e) {
        fail(tr("Cannot write %1: %2").arg(QDir::toNativeSeparators(path), QString::fromLocal8Bit(e.reason().c_str())));
    }
}

}  // namespace quibsum

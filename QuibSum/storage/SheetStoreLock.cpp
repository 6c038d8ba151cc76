#include "QuibSum/storage/SheetStoreLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QFile>
#include <cerrno>
#include <cstring>

#include "QuibSum/storage/StorageError.h"

namespace quibsum {

SheetStoreLock::SheetStoreLock(const QString& directory) {
    const QString path = directory + u'/' + fileName();
    auto fail = [&](const QString& reason) {
        if (fd_ >= 0) ::close(fd_);
        throw StorageError(StorageError::Kind::file,
                           QCoreApplication::translate("SheetStore", "Could not lock the sheets with %1: %2")
                               .arg(QStringLiteral("“%1”").arg(path), reason));
    };
    // Non-blocking open and no symbolic links: a FIFO or a link planted here must not hang or
    // redirect the lock.
    fd_ = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC,
                 0600);
    if (fd_ < 0) fail(QString::fromLocal8Bit(std::strerror(errno)));
    struct stat info {};
    if (::fstat(fd_, &info) != 0) fail(QString::fromLocal8Bit(std::strerror(errno)));
    if (!S_ISREG(info.st_mode)) fail(QCoreApplication::translate("SheetStore", "it is not a regular file"));
    while (::flock(fd_, LOCK_EX) != 0) {
        if (errno != EINTR) fail(QString::fromLocal8Bit(std::strerror(errno)));
    }
}

SheetStoreLock::~SheetStoreLock() {
    ::close(fd_);  // releases the lock
}

}  // namespace quibsum

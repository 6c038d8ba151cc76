#include "QuibSum/storage/SheetStoreLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QFile>
#include <cerrno>
#include <cstring>
#include <thread>

#include "QuibSum/storage/StorageError.h"

namespace quibsum {

namespace {

// flock has no time-out of its own: a held lock is tried again this often.
constexpr std::chrono::milliseconds pollInterval{10};

}  // namespace

SheetStoreLock::SheetStoreLock(const QString& directory, std::chrono::milliseconds wait) {
    const QString path = directory + u'/' + fileName();
    const QString quoted = QStringLiteral("“%1”").arg(path);
    auto fail = [&](StorageError::Kind kind, const QString& message) {
        if (fd_ >= 0) ::close(fd_);
        throw StorageError(kind, message);
    };
    auto failed = [&](const QString& reason) {
        fail(StorageError::Kind::file,
             QCoreApplication::translate("SheetStore", "Could not lock the sheets with %1: %2").arg(quoted, reason));
    };
    // Non-blocking open and no symbolic links: a FIFO or a link planted here must not hang or
    // redirect the lock.
    fd_ = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC,
                 0600);
    if (fd_ < 0) failed(QString::fromLocal8Bit(std::strerror(errno)));
    struct stat info {};
    if (::fstat(fd_, &info) != 0) failed(QString::fromLocal8Bit(std::strerror(errno)));
    if (!S_ISREG(info.st_mode)) failed(QCoreApplication::translate("SheetStore", "it is not a regular file"));

    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR) continue;
        if (errno != EWOULDBLOCK) failed(QString::fromLocal8Bit(std::strerror(errno)));
        if (std::chrono::steady_clock::now() >= deadline) {
            fail(
                StorageError::Kind::locked,
                wait.count() == 0
                    ? QCoreApplication::translate("SheetStore", "Another program holds the sheets' lock %1").arg(quoted)
                    : QCoreApplication::translate("SheetStore",
                                                  "Another program held the sheets' lock %1 for %2 s, so nothing "
                                                  "was changed")
                          .arg(quoted)
                          .arg(std::chrono::duration<double>(wait).count()));
        }
        std::this_thread::sleep_for(pollInterval);
    }
}

SheetStoreLock::~SheetStoreLock() {
    ::close(fd_);  // releases the lock
}

}  // namespace quibsum

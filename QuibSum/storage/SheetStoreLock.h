#pragma once
// SheetStoreLock: the sheets folder's lock, held by every process for the whole of each change
// it makes to the stored sheets (read the index and texts, change them, write them back), so
// that two programs saving at once (the window and `quibsum append`, or two appends) never
// lose each other's lines. An exclusive flock on "index.lock" in the folder; the kernel lets it
// go when the process ends, however it ends.
//
// It is never waited for without end: a program that holds it and hangs (or a user's `flock`)
// must not freeze the window or a command. The caller says how long it may wait; then it is
// told, by a StorageError of kind `locked` that names the lock file.

#include <QString>

#include <chrono>

namespace quibsum {

class SheetStoreLock {
public:
    // Takes the lock, waiting for it at most `wait` (not at all for zero). Throws StorageError
    // when the lock file cannot be opened or locked, or (kind `locked`) when another process
    // held it all that time.
    SheetStoreLock(const QString& directory, std::chrono::milliseconds wait);
    SheetStoreLock(const SheetStoreLock&) = delete;
    SheetStoreLock& operator=(const SheetStoreLock&) = delete;
    ~SheetStoreLock();

    static QString fileName() { return QStringLiteral("index.lock"); }

private:
    int fd_ = -1;
};

}  // namespace quibsum

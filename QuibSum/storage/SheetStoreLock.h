#pragma once
// SheetStoreLock: the sheets folder's lock, held by every process for the whole of each change
// it makes to the stored sheets (read the index and texts, change them, write them back), so
// that two programs saving at once (the window and `quibsum append`, or two appends) never
// lose each other's lines. An exclusive flock on "index.lock" in the folder; the kernel lets it
// go when the process ends, however it ends.

#include <QString>

namespace quibsum {

class SheetStoreLock {
public:
    // Waits for the lock. Throws StorageError when the lock file cannot be opened or locked.
    explicit SheetStoreLock(const QString& directory);
    SheetStoreLock(const SheetStoreLock&) = delete;
    SheetStoreLock& operator=(const SheetStoreLock&) = delete;
    ~SheetStoreLock();

    static QString fileName() { return QStringLiteral("index.lock"); }

private:
    int fd_ = -1;
};

}  // namespace quibsum

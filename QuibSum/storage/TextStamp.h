#pragma once
// TextStamp: a stored sheet text as this process last read or wrote it. The file's identity
// (device, inode, modification time, size) tells cheaply whether anyone replaced or changed
// it since; the length and digest of its bytes tell an append (the bytes seen, then more)
// from any other change, without keeping the text itself.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <sys/types.h>

#include <ctime>
#include <optional>

namespace quibsum {

class TextStamp {
public:
    struct FileID {
        dev_t device = 0;
        ino_t inode = 0;
        std::time_t seconds = 0;
        long nanoseconds = 0;
        off_t size = 0;

        friend bool operator==(const FileID&, const FileID&) = default;
    };

    TextStamp() = default;
    // `file` as it was before `bytes` were read from it (or after they were written to it).
    TextStamp(std::optional<FileID> file, QByteArrayView bytes);

    // The file's identity now; none when there is no such file (or it cannot be examined).
    static std::optional<FileID> stat(const QString& path);

    const std::optional<FileID>& file() const { return file_; }
    qsizetype size() const { return size_; }
    bool isUtf8() const { return utf8_; }
    // The same bytes as stamped.
    bool sameBytes(const TextStamp& other) const { return size_ == other.size_ && digest_ == other.digest_; }
    // `bytes` begin with the bytes stamped.
    bool isPrefixOf(QByteArrayView bytes) const;

    // The text of valid UTF-8 bytes; none for anything else.
    static std::optional<QString> decode(QByteArrayView bytes);

private:
    std::optional<FileID> file_;
    qsizetype size_ = 0;
    QByteArray digest_;
    bool utf8_ = true;
};

}  // namespace quibsum

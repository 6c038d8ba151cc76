#include "QuibSum/storage/TextStamp.h"

#include <QCryptographicHash>
#include <QFile>
#include <QStringDecoder>

#include <sys/stat.h>

namespace quibsum {

namespace {

QByteArray digestOf(QByteArrayView bytes) { return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256); }

}  // namespace

TextStamp::TextStamp(std::optional<FileID> file, QByteArrayView bytes)
    : file_(file), size_(bytes.size()), digest_(digestOf(bytes)), utf8_(decode(bytes).has_value()) {}

std::optional<TextStamp::FileID> TextStamp::stat(const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0) return std::nullopt;
    return FileID{info.st_dev, info.st_ino, info.st_mtim.tv_sec, info.st_mtim.tv_nsec, info.st_size};
}

bool TextStamp::isPrefixOf(QByteArrayView bytes) const {
    return bytes.size() >= size_ && digestOf(bytes.first(size_)) == digest_;
}

std::optional<QString> TextStamp::decode(QByteArrayView bytes) {
    // A byte-order mark is kept as a character, as the text is written back.
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = decoder.decode(bytes);
    if (decoder.hasError()) return std::nullopt;
    return text;
}

}  // namespace quibsum

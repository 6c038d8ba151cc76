#pragma once
// StorageError: a failure of the application's files (a folder that cannot be made, a file
// that cannot be read or written, a damaged index) or a refused operation on a sheet. Its
// message is complete and meant for a person: it names the file and the problem.

#include <QString>

#include <stdexcept>

namespace quibsum {

class StorageError : public std::runtime_error {
public:
    enum class Kind {
        file,            // reading, writing, creating or removing failed
        damagedIndex,    // the sheet index exists but is not a valid index
        protectedSheet,  // the quick sheet cannot be deleted
        notText,         // a stored sheet is not UTF-8 text: it is kept as it is, never written
        locked,          // another process held the sheets' lock for longer than the caller waits
    };

    StorageError(Kind kind, const QString& message) : std::runtime_error(message.toStdString()), kind_(kind) {}

    Kind kind() const { return kind_; }
    QString message() const { return QString::fromUtf8(what()); }

private:
    Kind kind_;
};

}  // namespace quibsum

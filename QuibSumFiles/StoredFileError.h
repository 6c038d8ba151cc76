#pragma once
// StoredFileError: a stored file that could not be read or replaced. what() is a complete
// sentence for a person ("cannot write /x/rates.json: No space left on device"); the path and
// the reason are kept apart for callers that phrase the message their own way.

#include <stdexcept>
#include <string>

namespace quibsum {

class StoredFileError : public std::runtime_error {
public:
    enum class Kind {
        system,      // a call failed; code() holds its errno
        notRegular,  // a folder, FIFO, device or socket where a file should be
        tooLarge,    // longer than the reader's limit
    };

    StoredFileError(Kind kind, int code, const std::string& action, std::string path, std::string reason)
        : std::runtime_error(action + " " + path + ": " + reason),
          kind_(kind),
          code_(code),
          path_(std::move(path)),
          reason_(std::move(reason)) {}

    Kind kind() const { return kind_; }
    int code() const { return code_; }
    const std::string& path() const { return path_; }
    const std::string& reason() const { return reason_; }

private:
    Kind kind_;
    int code_;
    std::string path_;
    std::string reason_;
};

}  // namespace quibsum

#include "QuibSumFiles/StoredFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <random>

namespace quibsum {
namespace {

std::string reasonOf(int code) { return std::strerror(code); }

[[noreturn]] void fail(const std::string& action, const std::filesystem::path& path, int code) {
    throw StoredFileError(StoredFileError::Kind::system, code, action, path.string(), reasonOf(code));
}

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }
    // Closes now and reports the result: close may be where a delayed write error shows.
    int close() {
        int result = ::close(fd_);
        fd_ = -1;
        return result;
    }

private:
    int fd_;
};

std::filesystem::path folderOf(const std::filesystem::path& path) {
    return path.parent_path().empty() ? std::filesystem::path(".") : path.parent_path();
}

bool isTemporaryName(std::string_view entry, std::string_view name) {
    if (entry.size() != name.size() + 7 || entry.substr(0, name.size()) != name || entry[name.size()] != '.')
        return false;
    for (char c : entry.substr(name.size() + 1))
        if (!std::isalnum(static_cast<unsigned char>(c))) return false;
    return true;
}

std::string temporaryName(const std::filesystem::path& path) {
    static constexpr char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937 random{std::random_device{}()};
    std::string name = path.string() + '.';
    for (int i = 0; i < 6; ++i) name += letters[random() % (sizeof letters - 1)];
    return name;
}

// Removes leftovers of killed saves of the same file (name.XXXXXX), once they are old enough
// that no running save can still own them. Best effort: a failure only leaves them for later.
void removeStaleTemporaries(const std::filesystem::path& path) {
    DIR* folder = ::opendir(folderOf(path).c_str());
    if (folder == nullptr) return;
    const std::string name = path.filename().string();
    const std::time_t now = std::time(nullptr);
    while (const dirent* entry = ::readdir(folder)) {
        if (!isTemporaryName(entry->d_name, name)) continue;
        struct stat info {};
        if (::fstatat(::dirfd(folder), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) continue;
        if (S_ISREG(info.st_mode) && now - info.st_mtime >= StoredFile::staleSeconds)
            ::unlinkat(::dirfd(folder), entry->d_name, 0);
    }
    ::closedir(folder);
}

void writeAll(FileDevice& device, int fd, std::string_view bytes, const std::filesystem::path& path) {
    for (std::size_t written = 0; written < bytes.size();) {
        const ssize_t n = device.write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0) {
            if (errno == EINTR) continue;
            fail("cannot write", path, errno);
        }
        // A device that accepts nothing and reports no error is full in all but name.
        if (n == 0) fail("cannot write", path, ENOSPC);
        written += static_cast<std::size_t>(n);
    }
    if (device.sync(fd) != 0) fail("cannot write", path, errno);
}

// Gives the unnamed file a temporary name beside its destination; false when this system
// cannot (no /proc), and the caller falls back to a named temporary file.
bool linkUnnamed(int fd, std::string& temporary, const std::filesystem::path& path) {
    char self[64];
    std::snprintf(self, sizeof self, "/proc/self/fd/%d", fd);
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = temporaryName(path);
        if (::linkat(AT_FDCWD, self, AT_FDCWD, temporary.c_str(), AT_SYMLINK_FOLLOW) == 0) return true;
        if (errno == EEXIST) continue;
        if (errno == ENOENT && ::access("/proc/self/fd", F_OK) != 0) return false;
        fail("cannot write", path, errno);
    }
    fail("cannot write", path, EEXIST);
}

void renameInto(const std::string& temporary, const std::filesystem::path& path) {
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        const int code = errno;
        ::unlink(temporary.c_str());
        fail("cannot replace", path, code);
    }
    // Make the rename itself durable; a failure here loses nothing already written.
    if (int folder = ::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
}

void replaceNamed(const std::filesystem::path& path, std::string_view bytes, mode_t mode, FileDevice& device) {
    std::string temporary = path.string() + ".XXXXXX";
    Descriptor fd(::mkstemp(temporary.data()));
    if (fd.get() < 0) fail("cannot write", path, errno);
    try {
        if (::fchmod(fd.get(), mode) != 0) fail("cannot write", path, errno);
        writeAll(device, fd.get(), bytes, path);
        if (fd.close() != 0) fail("cannot write", path, errno);
    } catch (...) {
        ::unlink(temporary.c_str());
        throw;
    }
    renameInto(temporary, path);
}

}  // namespace

std::optional<std::string> StoredFile::read(const std::filesystem::path& path, std::size_t maxBytes) {
    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer forever.
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0) {
        if (errno == ENOENT) return std::nullopt;
        fail("cannot read", path, errno);
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) fail("cannot read", path, errno);
    if (!S_ISREG(info.st_mode)) {
        throw StoredFileError(StoredFileError::Kind::notRegular, 0, "cannot read", path.string(),
                              S_ISDIR(info.st_mode) ? "it is a folder" : "it is not a regular file");
    }
    auto tooLarge = [&] {
        return StoredFileError(StoredFileError::Kind::tooLarge, 0, "cannot read", path.string(),
                               "it is larger than the " + sizeText(maxBytes) + " limit");
    };
    if (static_cast<std::uintmax_t>(info.st_size) > maxBytes) throw tooLarge();

    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            fail("cannot read", path, errno);
        }
        if (n == 0) break;
        // The file may grow while it is read.
        if (bytes.size() + static_cast<std::size_t>(n) > maxBytes) throw tooLarge();
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    return bytes;
}

void StoredFile::replace(const std::filesystem::path& path, std::string_view bytes, mode_t mode, FileDevice& device) {
    removeStaleTemporaries(path);
    Descriptor fd(::open(folderOf(path).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode));
    if (fd.get() < 0) {
        // File systems without unnamed files get a named temporary file instead.
        if (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL) return replaceNamed(path, bytes, mode, device);
        fail("cannot write", path, errno);
    }
    // The umask may have narrowed the mode; the caller's choice stands.
    if (::fchmod(fd.get(), mode) != 0) fail("cannot write", path, errno);
    writeAll(device, fd.get(), bytes, path);
    std::string temporary;
    if (!linkUnnamed(fd.get(), temporary, path)) return replaceNamed(path, bytes, mode, device);
    if (fd.close() != 0) {
        const int code = errno;
        ::unlink(temporary.c_str());
        fail("cannot write", path, code);
    }
    renameInto(temporary, path);
}

void StoredFile::makeFolders(const std::filesystem::path& folder) {
    const std::string whole = folder.string();
    for (std::size_t i = 1; i <= whole.size(); ++i) {
        if (i < whole.size() && whole[i] != '/') continue;
        const std::string prefix = whole.substr(0, i);
        // The umask can only narrow 0700.
        if (::mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST) fail("cannot create the folder", prefix, errno);
    }
    struct stat info {};
    if (::stat(whole.c_str(), &info) != 0) fail("cannot create the folder", folder, errno);
    if (!S_ISDIR(info.st_mode)) fail("cannot create the folder", folder, ENOTDIR);
}

std::string StoredFile::sizeText(std::size_t bytes) {
    constexpr std::size_t mebibyte = 1024 * 1024;
    if (bytes >= mebibyte && bytes % mebibyte == 0) return std::to_string(bytes / mebibyte) + " MiB";
    return std::to_string(bytes) + " bytes";
}

}  // namespace quibsum

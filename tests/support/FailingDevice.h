#pragma once
// FailingDevice: a FileDevice that takes `capacity` bytes and then fails every write with
// `error` (ENOSPC by default: a disk that fills up mid-file), or fails the sync instead.
// Writes are cut to `chunk` bytes at a time so that short writes are exercised on the way.

#include <cerrno>
#include <cstddef>

#include "QuibSumFiles/FileDevice.h"

namespace quibsum::testing {

class FailingDevice : public FileDevice {
public:
    explicit FailingDevice(std::size_t capacity, int error = ENOSPC, bool failSync = false, std::size_t chunk = 7)
        : capacity_(capacity), error_(error), failSync_(failSync), chunk_(chunk) {}

    ssize_t write(int fd, const char* data, std::size_t size) override {
        if (written_ >= capacity_) {
            errno = error_;
            return -1;
        }
        std::size_t n = size < chunk_ ? size : chunk_;
        if (n > capacity_ - written_) n = capacity_ - written_;
        ssize_t result = FileDevice::write(fd, data, n);
        if (result > 0) written_ += static_cast<std::size_t>(result);
        return result;
    }

    int sync(int fd) override {
        if (!failSync_) return FileDevice::sync(fd);
        errno = error_;
        return -1;
    }

    std::size_t written() const { return written_; }

private:
    std::size_t capacity_;
    int error_;
    bool failSync_;
    std::size_t chunk_;
    std::size_t written_ = 0;
};

}  // namespace quibsum::testing

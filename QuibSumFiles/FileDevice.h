#pragma once
// FileDevice: the two calls through which stored files reach the disk, write and sync. The
// system's own is used everywhere; tests put one in its place that fails the way a full or
// broken device does, so every writer's handling of a failed or short write can be checked
// without filling a real disk.

#include <sys/types.h>

#include <cstddef>

namespace quibsum {

class FileDevice {
public:
    virtual ~FileDevice() = default;

    // As write(2) and fsync(2): -1 with errno set on failure; a write may be short.
    virtual ssize_t write(int fd, const char* data, std::size_t size);
    virtual int sync(int fd);

    static FileDevice& system();
};

}  // namespace quibsum

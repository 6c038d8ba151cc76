#include "QuibSumFiles/FileDevice.h"

#include <unistd.h>

namespace quibsum {

ssize_t FileDevice::write(int fd, const char* data, std::size_t size) { return ::write(fd, data, size); }

int FileDevice::sync(int fd) { return ::fsync(fd); }

FileDevice& FileDevice::system() {
    static FileDevice device;
    return device;
}

}  // namespace quibsum

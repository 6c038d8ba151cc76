#pragma once
// StoredFile: how the application reads and replaces the files it keeps (sheets, their index,
// the rate cache).
//
// Reading never blocks on a FIFO or a device: the file is opened without waiting and refused
// unless it is a regular file, and it is read only up to a limit, so a hostile file can neither
// hang a command nor exhaust memory.
//
// Replacing writes the whole new content to a file with no name, checks every write and the
// sync, and only then gives it a name and renames it over the old file. A failure at any step
// leaves the old file as it was, and a process killed midway leaves nothing behind.

#include <sys/types.h>

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "QuibSumFiles/FileDevice.h"
#include "QuibSumFiles/StoredFileError.h"

namespace quibsum {

class StoredFile {
public:
    // The whole file, or none when it does not exist. Throws StoredFileError when it cannot be
    // read, is not a regular file, or holds more than maxBytes.
    static std::optional<std::string> read(const std::filesystem::path& path, std::size_t maxBytes);

    // Atomically replaces (or creates) the file with `bytes`, with permissions `mode`. Throws
    // StoredFileError naming the file and the system's reason; the old file is then untouched.
    static void replace(const std::filesystem::path& path, std::string_view bytes, mode_t mode = 0600,
                        FileDevice& device = FileDevice::system());

    // Creates each missing folder of `folder` owner-only (0700), whatever the umask; folders
    // that exist are left as they are. Throws StoredFileError naming the folder that could not
    // be made, or the path when something other than a folder stands there.
    static void makeFolders(const std::filesystem::path& folder);

    // "64 MiB", "1000 bytes": a limit as messages state it.
    static std::string sizeText(std::size_t bytes);

    // Leftovers of saves that were killed before the temporary file got renamed are removed at
    // the next save once they are this old (a younger one may be another process's save).
    static constexpr int staleSeconds = 600;
};

}  // namespace quibsum

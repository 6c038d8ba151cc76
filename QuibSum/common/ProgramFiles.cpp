#include "QuibSum/common/ProgramFiles.h"

#include <system_error>

namespace quibsum::ProgramFiles {

namespace {

// The folder of the running executable, symbolic links resolved; empty when unknown.
std::filesystem::path executableFolder() {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : self.parent_path();
}

bool isFile(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

}  // namespace

std::filesystem::path privateFile(std::string_view name) {
    const std::filesystem::path folder = executableFolder();
    if (folder.empty()) return {};
    for (const auto& candidate : {folder / name, folder / QUIBSUM_PRIVATE_FROM_BIN / name})
        if (isFile(candidate)) return candidate.lexically_normal();
    return {};
}

std::filesystem::path publicProgram() {
    const std::filesystem::path folder = executableFolder();
    if (folder.empty()) return {};
    for (const auto& candidate : {folder / "quibsum", folder / QUIBSUM_BIN_FROM_PRIVATE / "quibsum"})
        if (isFile(candidate)) return candidate.lexically_normal();
    return {};
}

}  // namespace quibsum::ProgramFiles

#pragma once
// Where the pieces of the installed program are. `quibsum` itself only evaluates; the window,
// the commands that reach it over the session bus, and the network for rate refreshes are
// programs and a library of their own, so that a calculation never loads them. In the build
// tree they are all in one folder; installed, in a private folder (libexec/quibsum) beside the
// program's bin folder.

#include <filesystem>
#include <string_view>

namespace quibsum::ProgramFiles {

// The file `name` of the program's private folder: beside the running executable when it is
// there (the build tree, or a program already in the private folder), else in the private
// folder relative to the running executable's bin folder. Empty when neither exists.
std::filesystem::path privateFile(std::string_view name);

// The `quibsum` that people run, for starting another instance the way they would: beside the
// running executable, else in the bin folder above the private folder. Empty when the running
// executable is not part of an installed or built program (a test, say).
std::filesystem::path publicProgram();

// The window program: the desktop application, and append-selection, which reads the display.
inline constexpr std::string_view windowProgramName = "quibsum-window";
// The bus program: the commands that talk to the running application.
inline constexpr std::string_view busProgramName = "quibsum-bus";
// The shared library that downloads rates (libcurl and the TLS stack behind it).
inline constexpr std::string_view networkLibraryName = "libquibsum-network.so";

}  // namespace quibsum::ProgramFiles

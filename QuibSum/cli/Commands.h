#pragma once
// The evaluating and listing commands, one file each. Each is given its own name and the words
// after it, and returns the exit status.

#include <string>
#include <string_view>
#include <vector>

namespace quibsum {

struct CommandLineIO;

namespace Commands {

int calc(std::string_view name, const std::vector<std::string>& words, const CommandLineIO& io);
int sheet(std::string_view name, const std::vector<std::string>& words, const CommandLineIO& io);
int sheets(std::string_view name, const std::vector<std::string>& words, const CommandLineIO& io);
int rates(std::string_view name, const std::vector<std::string>& words, const CommandLineIO& io);
// Reaches the running application, so only the window program offers it.
int append(std::string_view name, const std::vector<std::string>& words, const CommandLineIO& io);

}  // namespace Commands

}  // namespace quibsum

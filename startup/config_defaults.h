#pragma once
// Defaults from the user's configuration file (slidesaver.conf): each "name = value" line is
// the option --name with that value, placed before the command line's own arguments so that
// those win. Blank lines and lines that begin with '#' say nothing. Any option the player
// knows may be given so; the file does not know them itself.
#include <string>
#include <vector>

namespace slidesaver {

// The largest configuration file read; a longer one is an error.
inline constexpr size_t kMaxConfigBytes = 64 * 1024;

struct ConfigDefaults {
  std::vector<std::string> arguments;  // "--name=value", in the file's order
  std::string error;                   // "<file>:<line>: <what>"; empty when all is well
};

ConfigDefaults ReadConfigDefaults(const std::string& text, const std::string& file_name);

}  // namespace slidesaver

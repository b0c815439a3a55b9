#pragma once
// Defaults from the user's configuration file (slidesaver.conf): each "name = value" line is
// the option --name with that value, placed before the command line's own arguments so that
// those win. Blank lines and lines that begin with '#' say nothing. Any option the player
// knows may be given so; the file does not know them itself.
#include <map>
#include <string>
#include <vector>

namespace slidesaver {

// The largest configuration file read; a longer one is an error.
inline constexpr size_t kMaxConfigBytes = 64 * 1024;

struct ConfigDefaults {
  std::vector<std::string> arguments;  // "--name=value", in the file's order
  std::vector<std::string> lines;      // "<file>:<line>" of each argument
  std::string error;                   // "<file>:<line>: <what>"; empty when all is well
};

ConfigDefaults ReadConfigDefaults(const std::string& text, const std::string& file_name);

// The arguments the player runs with: the file's defaults, then the command line's own.
struct PlayerArguments {
  std::vector<std::string> arguments;
  // For the show, the folder and the folder choices whose value in effect is the file's: the
  // line that gave it ("<file>:<line>"), by option name, so that a value refused later
  // names its line.
  std::map<std::string, std::string> file_lines;
};

// A show the command line names (--show, --folder, --xscreensaver-images) replaces the one the
// file names, so that a default of either kind never fights the command line's choice.
PlayerArguments WithConfigDefaults(const ConfigDefaults& defaults,
                                   const std::vector<std::string>& command_line);

}  // namespace slidesaver

#include "startup/config_defaults.h"

#include <algorithm>
#include <sstream>

#include "startup/program_options.h"

namespace slidesaver {
namespace {

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

}  // namespace

ConfigDefaults ReadConfigDefaults(const std::string& text, const std::string& file_name) {
  ConfigDefaults defaults;
  std::istringstream lines(text);
  std::string line;
  std::string show_line;  // the first line that names a show or a folder
  for (int number = 1; std::getline(lines, line); ++number) {
    const std::string where = file_name + ":" + std::to_string(number) + ": ";
    line = Trimmed(line);
    if (line.empty() || line[0] == '#') continue;
    const size_t equals = line.find('=');
    const std::string name = Trimmed(line.substr(0, equals));
    if (equals == std::string::npos || name.empty()) {
      defaults.error = where + "not a 'name = value' line";
      return defaults;
    }
    const std::string argument = "--" + name + "=" + Trimmed(line.substr(equals + 1));
    // The option parser decides what the name means, so the file knows every option there is.
    const ProgramOptions checked = ParseProgramOptions({argument});
    if (checked.action == ProgramOptions::Action::UsageError) {
      defaults.error = where + checked.error;
      return defaults;
    }
    if (checked.action != ProgramOptions::Action::Run || !checked.mode_arguments.empty()) {
      defaults.error = where + name + " is no default";
      return defaults;
    }
    // As a default, every show the watcher starts would start a watcher in turn.
    if (checked.idle_seconds) {
      defaults.error = where + "idle is no default: the idle watcher is started by itself";
      return defaults;
    }
    if (checked.show_file || checked.folder) {
      if (!show_line.empty()) {
        defaults.error = where + "one show at a time: " + show_line + " names one already";
        return defaults;
      }
      show_line = file_name + ":" + std::to_string(number);
    }
    defaults.arguments.push_back(argument);
    defaults.lines.push_back(file_name + ":" + std::to_string(number));
  }
  return defaults;
}

PlayerArguments WithConfigDefaults(const ConfigDefaults& defaults,
                                   const std::vector<std::string>& command_line) {
  const ProgramOptions given = ParseProgramOptions(command_line);
  const bool show_given = given.show_file || given.folder || given.xscreensaver_images;
  PlayerArguments combined;
  for (size_t i = 0; i < defaults.arguments.size(); ++i) {
    const std::string& argument = defaults.arguments[i];
    const std::string name = argument.substr(2, argument.find('=') - 2);
    const bool show_source = name == "show" || name == "folder" || name == "xscreensaver-images";
    if (show_given && show_source) continue;
    combined.arguments.push_back(argument);
    const bool folder_choice =
        std::find(std::begin(kFolderShowOptions), std::end(kFolderShowOptions), name) !=
        std::end(kFolderShowOptions);
    if (show_source || (folder_choice && !given.folder_choices.contains(name))) {
      combined.file_lines[name] = defaults.lines[i];
    }
  }
  combined.arguments.insert(combined.arguments.end(), command_line.begin(), command_line.end());
  return combined;
}

}  // namespace slidesaver

#include "app/folder_show.h"

#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>

#include "photos/picture_options.h"
#include "slides/effect_plan.h"
#include "startup/config_defaults.h"

namespace slidesaver {
namespace {

int32_t NumberChoice(const std::string& name, const std::string& text, int32_t most) {
  int32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < 0 ||
      value > most) {
    throw std::invalid_argument("--" + name + ": \"" + text + "\" is not a number from 0 to " +
                                std::to_string(most));
  }
  return value;
}

}  // namespace

FolderShowOptions FolderShowOptionsOf(const ProgramOptions& options) {
  FolderShowOptions show;
  show.folder = *options.folder;
  std::error_code error;
  if (!std::filesystem::is_directory(show.folder, error)) {
    throw std::invalid_argument("--folder: " + show.folder + " is no folder");
  }
  show.seed = std::random_device{}();
  for (const auto& [name, value] : options.folder_choices) {
    if (name == "time") {
      show.time = NumberChoice(name, value, INT32_MAX);
    } else if (name == "speed") {
      show.speed = NumberChoice(name, value, photos::kMaxSpeed);
    } else if (name == "effects") {
      show.effects = value;
    } else if (name == "order") {
      const auto order = ParseFolderOrder(value);
      if (!order)
        throw std::invalid_argument("--order: \"" + value + "\" is not shuffle, name or date");
      show.order = *order;
    } else if (name == "music") {
      if (!std::filesystem::is_regular_file(value, error)) {
        throw std::invalid_argument("--music: " + value + ": no such music file");
      }
      show.music = value;
    } else if (name == "background") {
      const auto colour = photos::ParseColour(value);
      if (!colour)
        throw std::invalid_argument("--background: \"" + value + "\" is not a colour \"#RRGGBB\"");
      show.background = *colour;
    } else if (name == "folder-fit") {
      const auto fit = photos::ParseFit(value);
      if (!fit || *fit == photos::Fit::kNone) {
        throw std::invalid_argument("--folder-fit: \"" + value + "\" is not contain or cover");
      }
      show.fit = *fit == photos::Fit::kCover ? AreaFit::kCover : AreaFit::kContain;
    }
  }
  (void)EffectPlan::Parse(show.effects, show.seed);
  return show;
}

std::optional<std::string> XscreensaverImageFolder() {
  const char* home = std::getenv("HOME");
  if (home == nullptr || home[0] == '\0') return std::nullopt;
  std::ifstream file(std::filesystem::path(home) / ".xscreensaver");
  std::string line;
  // Its settings are a few kilobytes; a long file is read no further than this.
  for (size_t read = 0; read < (size_t{1} << 20) && std::getline(file, line);
       read += line.size() + 1) {
    if (!line.starts_with("imageDirectory:")) continue;
    std::string folder = line.substr(line.find(':') + 1);
    folder.erase(0, folder.find_first_not_of(" \t"));
    folder.erase(folder.find_last_not_of(" \t\r") + 1);
    if (folder.starts_with("~/")) folder = std::string(home) + folder.substr(1);
    if (folder.empty()) return std::nullopt;
    return folder;
  }
  return std::nullopt;
}

std::vector<std::string> ConfigFileArguments() {
  const char* config_home = std::getenv("XDG_CONFIG_HOME");
  const char* home = std::getenv("HOME");
  std::filesystem::path folder;
  if (config_home != nullptr && config_home[0] == '/') {
    folder = config_home;
  } else if (home != nullptr && home[0] != '\0') {
    folder = std::filesystem::path(home) / ".config";
  } else {
    return {};
  }
  const std::filesystem::path path = folder / "slidesaver" / "slidesaver.conf";
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return {};
  std::ifstream file(path, std::ios::binary);
  std::string text(kMaxConfigBytes + 1, '\0');
  file.read(text.data(), static_cast<std::streamsize>(text.size()));
  text.resize(static_cast<size_t>(file.gcount()));
  if (text.size() > kMaxConfigBytes) {
    throw std::invalid_argument(path.string() + ": longer than " +
                                std::to_string(kMaxConfigBytes / 1024) + " KiB");
  }
  const ConfigDefaults defaults = ReadConfigDefaults(text, path.string());
  if (!defaults.error.empty()) throw std::invalid_argument(defaults.error);
  return defaults.arguments;
}

}  // namespace slidesaver

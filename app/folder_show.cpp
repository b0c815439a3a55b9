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
    throw FolderChoiceError(
        name, "--" + name + ": \"" + text + "\" is not a number from 0 to " + std::to_string(most));
  }
  return value;
}

}  // namespace

FolderShowOptions FolderShowOptionsOf(const ProgramOptions& options) {
  FolderShowOptions show;
  show.folder = *options.folder;
  std::error_code error;
  if (!std::filesystem::is_directory(show.folder, error)) {
    throw FolderChoiceError("folder", "--folder: " + show.folder + " is no folder");
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
        throw FolderChoiceError(name, "--order: \"" + value + "\" is not shuffle, name or date");
      show.order = *order;
    } else if (name == "music") {
      const std::filesystem::file_status music = std::filesystem::status(value, error);
      if (!std::filesystem::exists(music)) {
        throw FolderChoiceError(name, "--music: " + value + ": no such music file");
      }
      if (!std::filesystem::is_regular_file(music)) {
        throw FolderChoiceError(name, "--music: " + value + ": not a file (a folder or a device)");
      }
      show.music = value;
    } else if (name == "background") {
      const auto colour = photos::ParseColour(value);
      if (!colour)
        throw FolderChoiceError(name,
                                "--background: \"" + value + "\" is not a colour \"#RRGGBB\"");
      show.background = *colour;
    } else if (name == "folder-fit") {
      const auto fit = photos::ParseFit(value);
      if (!fit || *fit == photos::Fit::kNone) {
        throw FolderChoiceError(name, "--folder-fit: \"" + value + "\" is not contain or cover");
      }
      show.fit = *fit == photos::Fit::kCover ? AreaFit::kCover : AreaFit::kContain;
    }
  }
  try {
    (void)EffectPlan::Parse(show.effects, show.seed);
  } catch (const std::invalid_argument& wrong) {
    throw FolderChoiceError("effects", wrong.what());
  }
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

}  // namespace slidesaver

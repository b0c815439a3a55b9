#include "app/config_file.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace slidesaver {

ConfigDefaults ReadConfigFile() {
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
  ConfigDefaults defaults = ReadConfigDefaults(text, path.string());
  if (!defaults.error.empty()) throw std::invalid_argument(defaults.error);
  return defaults;
}

}  // namespace slidesaver

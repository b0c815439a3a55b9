// Where the settings of a show file given on the command line are kept.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/linux/linux_platform.h"

namespace slidesaver::linux_platform {
namespace {

std::string ConfigFolder() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config && *config == '/') return config;
  const char* home = std::getenv("HOME");
  return std::string(home && *home ? home : "") + "/.config";
}

}  // namespace

std::string SettingsFileOfShow(const std::string& show_file) {
  const size_t slash = show_file.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : show_file.substr(0, slash + 1);
  std::string name = slash == std::string::npos ? show_file : show_file.substr(slash + 1);
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  if (access(folder.c_str(), W_OK) == 0) {
    return (slash == std::string::npos ? std::string() : folder) + name + ".set";
  }
  const std::string config = ConfigFolder();
  mkdir(config.c_str(), 0700);
  mkdir((config + "/slidesaver").c_str(), 0700);
  return config + "/slidesaver/" + name + ".set";
}

}  // namespace slidesaver::linux_platform

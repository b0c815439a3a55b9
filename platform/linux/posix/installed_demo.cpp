// The demo show installed with the player (share/slidesaver/demo.scr beside bin/slidesaver).
#include <limits.h>
#include <unistd.h>

#include "platform/linux/linux_platform.h"

namespace slidesaver::linux_platform {

std::optional<std::string> InstalledDemoShow() {
  char buffer[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return std::nullopt;
  const std::string program(buffer, static_cast<size_t>(n));
  const size_t slash = program.rfind('/');
  if (slash == std::string::npos) return std::nullopt;
  std::string own_show = program;  // the start-up's own file: the base name with ".scr"
  if (const size_t dot = own_show.rfind('.'); dot != std::string::npos && dot > slash + 1) {
    own_show.erase(dot);
  }
  own_show += ".scr";
  const std::string demo = program.substr(0, slash) + "/../share/slidesaver/demo.scr";
  if (access(own_show.c_str(), F_OK) == 0 || access(demo.c_str(), R_OK) != 0) return std::nullopt;
  return demo;
}

}  // namespace slidesaver::linux_platform

// What is installed beside the player: the demo show (share/slidesaver/demo.scr beside
// bin/slidesaver) and the idle watcher (libexec/slidesaver/slidesaver-idle).
#include <limits.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/linux/linux_platform.h"

namespace slidesaver::linux_platform {
namespace {

// The folder of the program's own file, with its file name.
struct OwnFile {
  std::string folder;
  std::string name;
};

std::optional<OwnFile> OwnProgramFile() {
  char buffer[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return std::nullopt;
  const std::string program(buffer, static_cast<size_t>(n));
  const size_t slash = program.rfind('/');
  if (slash == std::string::npos) return std::nullopt;
  return OwnFile{program.substr(0, slash), program.substr(slash + 1)};
}

}  // namespace

std::optional<std::string> InstalledDemoShow() {
  const std::optional<OwnFile> program = OwnProgramFile();
  if (!program) return std::nullopt;
  std::string own_show = program->folder + '/' + program->name;  // the start-up's own file:
  if (const size_t dot = program->name.rfind('.'); dot != std::string::npos && dot > 0) {
    own_show.erase(program->folder.size() + 1 + dot);  // the base name with ".scr"
  }
  own_show += ".scr";
  const std::string demo = program->folder + "/../share/slidesaver/demo.scr";
  if (access(own_show.c_str(), F_OK) == 0 || access(demo.c_str(), R_OK) != 0) return std::nullopt;
  return demo;
}

std::string ExecIdleWatcher(int idle_seconds, const std::vector<std::string>& show_arguments) {
  const std::optional<OwnFile> program = OwnProgramFile();
  if (!program) return "cannot find the player's own file";
  // Beside the player in a build, in libexec when installed (see cmake/install.cmake).
  std::string watcher = program->folder + "/slidesaver-idle";
  if (access(watcher.c_str(), X_OK) != 0)
    watcher = program->folder + "/../libexec/slidesaver/slidesaver-idle";
  std::vector<std::string> arguments = {watcher, std::to_string(idle_seconds),
                                        program->folder + '/' + program->name};
  arguments.insert(arguments.end(), show_arguments.begin(), show_arguments.end());
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  execv(watcher.c_str(), argv.data());
  return "cannot start the idle watcher " + watcher + ": " + std::strerror(errno);
}

}  // namespace slidesaver::linux_platform

#include "gui_session.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "package/write_package.h"

extern char** environ;

namespace slidesaver::gui_test {
namespace fs = std::filesystem;
namespace {

// The test's environment with `overrides` (NAME=value) put over it.
std::vector<std::string> MergedEnvironment(const std::vector<std::string>& overrides) {
  std::map<std::string, std::string> merged;
  const auto add = [&](const std::string& entry) {
    const size_t equals = entry.find('=');
    if (equals != std::string::npos) merged[entry.substr(0, equals)] = entry;
  };
  for (char** entry = environ; *entry; ++entry) add(*entry);
  for (const std::string& entry : overrides) add(entry);
  std::vector<std::string> result;
  for (auto& [name, entry] : merged) result.push_back(entry);
  return result;
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
  std::vector<char*> pointers;
  for (std::string& s : strings) pointers.push_back(s.data());
  pointers.push_back(nullptr);
  return pointers;
}

std::string FirstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

}  // namespace

PrivateUser::PrivateUser() {
  std::string pattern = (fs::temp_directory_path() / "slidesaver-dialogs-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  root_ = pattern;
  fs::create_directories(root_ + "/home");
  fs::create_directories(root_ + "/config");
  fs::create_directories(root_ + "/runtime");
  chmod((root_ + "/runtime").c_str(), 0700);
}

PrivateUser::~PrivateUser() {
  std::error_code ignored;
  for (const auto& entry : fs::recursive_directory_iterator(root_, ignored))
    if (entry.is_directory(ignored)) chmod(entry.path().c_str(), 0700);
  fs::remove_all(root_, ignored);
}

std::vector<std::string> PrivateUser::Environment() const {
  return {"HOME=" + root_ + "/home", "XDG_CONFIG_HOME=" + root_ + "/config",
          "XDG_RUNTIME_DIR=" + root_ + "/runtime"};
}

void InstallPlayer(const std::string& path) {
  PackageHeader package;
  package.ShowWidth = 800;
  package.ShowHeight = 600;
  package.HasSettings = -1;
  const std::vector<uint8_t> bytes = WritePackage(package);
  fs::copy_file(SLIDESAVER_PLAYER, path, fs::copy_options::overwrite_existing);
  std::ofstream file(path, std::ios::binary | std::ios::app);
  file.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  if (!file) throw std::runtime_error("cannot write " + path);
  file.close();
  chmod(path.c_str(), 0755);
}

Child::Child(const std::vector<std::string>& argv, const std::vector<std::string>& environment,
             const std::string& output_path) {
  std::vector<std::string> args = argv;
  std::vector<std::string> env = MergedEnvironment(environment);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!output_path.empty())
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output_path.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
  const int error = posix_spawnp(&pid_, args[0].c_str(), &actions, nullptr, Pointers(args).data(),
                                 Pointers(env).data());
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) throw std::runtime_error("cannot start " + args[0] + ": " + strerror(error));
}

Child::~Child() {
  if (Running()) {
    kill(pid_, SIGKILL);
    WaitExit(5s);
  }
}

bool Child::Running() {
  if (reaped_) return false;
  int status = 0;
  if (waitpid(pid_, &status, WNOHANG) != pid_) return true;
  reaped_ = true;
  status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return false;
}

int Child::WaitExit(std::chrono::milliseconds limit) {
  if (!Eventually([this] { return !Running(); }, limit)) {
    kill(pid_, SIGKILL);
    Eventually([this] { return !Running(); }, 5s);
    return -1;
  }
  return status_;
}

ToolResult RunTool(const std::vector<std::string>& argv) {
  int pipe_ends[2];
  if (pipe(pipe_ends) != 0) throw std::runtime_error("pipe failed");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipe_ends[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, pipe_ends[0]);
  std::vector<std::string> args = argv;
  pid_t pid = -1;
  const int error =
      posix_spawnp(&pid, args[0].c_str(), &actions, nullptr, Pointers(args).data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(pipe_ends[1]);
  if (error != 0) {
    close(pipe_ends[0]);
    throw std::runtime_error("cannot run " + args[0] + ": " + strerror(error));
  }
  std::string output;
  char buffer[4096];
  for (ssize_t got; (got = read(pipe_ends[0], buffer, sizeof buffer)) != 0;) {
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) break;
    output.append(buffer, static_cast<size_t>(got));
  }
  close(pipe_ends[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

std::string WaitForWindow(const std::string& title_regex, std::chrono::milliseconds limit) {
  std::string window;
  Eventually(
      [&] {
        window = FirstLine(
            RunTool({"xdotool", "search", "--onlyvisible", "--name", title_regex}).output);
        return !window.empty();
      },
      limit);
  return window;
}

bool WaitForWindowGone(const std::string& window, std::chrono::milliseconds limit) {
  return Eventually(
      [&] {
        const std::string visible =
            RunTool({"xdotool", "search", "--onlyvisible", "--name", ""}).output;
        return ("\n" + visible).find("\n" + window + "\n") == std::string::npos;
      },
      limit);
}

std::string FocusedWindow() { return FirstLine(RunTool({"xdotool", "getwindowfocus"}).output); }

bool WaitForFocus(const std::string& window, std::chrono::milliseconds limit) {
  return Eventually([&] { return FocusedWindow() == window; }, limit);
}

Geometry WindowGeometry(const std::string& window) {
  std::istringstream lines(RunTool({"xdotool", "getwindowgeometry", "--shell", window}).output);
  Geometry geometry;
  for (std::string line; std::getline(lines, line);) {
    const size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    const std::string name = line.substr(0, equals);
    const int value = std::atoi(line.c_str() + equals + 1);
    if (name == "X") geometry.x = value;
    if (name == "Y") geometry.y = value;
    if (name == "WIDTH") geometry.width = value;
    if (name == "HEIGHT") geometry.height = value;
  }
  return geometry;
}

void ClickAt(const std::string& window, int x, int y) {
  // No --sync: it waits for a movement that never comes when the pointer is already there.
  RunTool({"xdotool", "mousemove", "--window", window, std::to_string(x), std::to_string(y),
           "click", "1"});
}

void TypeText(const std::string& text) {
  RunTool({"xdotool", "type", "--delay", "40", "--", text});
}

void PressKeys(const std::vector<std::string>& keys) {
  std::vector<std::string> argv{"xdotool", "key", "--delay", "60"};
  argv.insert(argv.end(), keys.begin(), keys.end());
  RunTool(argv);
}

void SaveScreenshot(const std::string& path) {
  fs::create_directories(fs::path(path).parent_path());
  RunTool({"import", "-window", "root", path});
}

void SaveWindowShot(const std::string& window, const std::string& path) {
  fs::create_directories(fs::path(path).parent_path());
  RunTool({"import", "-window", window, path});
}

std::string PixelAt(const std::string& picture, int x, int y) {
  const std::string at = "%[pixel:p{" + std::to_string(x) + "," + std::to_string(y) + "}]";
  return FirstLine(RunTool({"convert", picture, "-format", at, "info:"}).output);
}

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << bytes;
  if (!file) throw std::runtime_error("cannot write " + path);
}

bool FileExists(const std::string& path) { return fs::exists(path); }

}  // namespace slidesaver::gui_test

// The running program on Linux: its file (from /proc/self/exe, else argv[0]), its arguments and
// the single-instance lock.
#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "common/printable.h"
#include "platform/linux/linux_platform.h"
#include "platform/linux/posix/close_signals.h"
#include "platform/linux/posix/runtime_folder.h"

namespace slidesaver::linux_platform {
namespace {

std::string RealPath(const std::string& path) {
  char resolved[PATH_MAX];
  return realpath(path.c_str(), resolved) ? std::string(resolved) : std::string();
}

std::string FindInPath(const std::string& name) {
  const char* path = std::getenv("PATH");
  if (!path) return {};
  std::string entries = path;
  size_t start = 0;
  while (start <= entries.size()) {
    size_t end = entries.find(':', start);
    if (end == std::string::npos) end = entries.size();
    const std::string folder = end > start ? entries.substr(start, end - start) : std::string(".");
    const std::string candidate = folder + "/" + name;
    if (access(candidate.c_str(), X_OK) == 0) return RealPath(candidate);
    start = end + 1;
  }
  return {};
}

std::string ProgramFilePath(const char* argv0) {
  char buffer[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n > 0) return std::string(buffer, static_cast<size_t>(n));
  if (!argv0 || !*argv0) return {};
  const std::string name = argv0;
  if (name.find('/') != std::string::npos) return RealPath(name);
  return FindInPath(name);
}

// One argument as the Windows command line carries it: quoted when it holds a blank or a quote,
// or is empty; backslashes before a quote doubled and the quote escaped.
std::string QuotedArgument(const std::string& arg) {
  if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) return arg;
  std::string out;
  out.push_back('"');
  size_t backslashes = 0;
  const auto put_backslashes = [&out](size_t n) {
    for (size_t k = 0; k < n; ++k) out.push_back('\\');
  };
  for (char c : arg) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    put_backslashes(c == '"' ? backslashes * 2 + 1 : backslashes);
    backslashes = 0;
    out.push_back(c);
  }
  put_backslashes(backslashes * 2);
  out.push_back('"');
  return out;
}

// One lock file serves every program file and window: each claim is a one-byte lock at an
// offset of its own, so no file is left per program path (open-file-description locks, which
// also part two claims made in one process).
constexpr const char* kLockFile = "instances.lock";

off_t ClaimOffset(const std::string& key) {
  uint64_t hash = 1469598103934665603ull;  // FNV-1a: a stable offset for a long key
  for (unsigned char c : key) hash = (hash ^ c) * 1099511628211ull;
  return static_cast<off_t>(hash >> 2);  // below 2^62: the byte after it is a valid offset too
}

// Earlier versions made one lock file per program path; those no process holds go.
void RemoveOldLockFiles(const std::string& folder) {
  DIR* dir = opendir(folder.c_str());
  if (!dir) return;
  while (const dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name.rfind("instance-", 0) != 0 || name.size() < 5 ||
        name.compare(name.size() - 5, 5, ".lock") != 0) {
      continue;
    }
    const std::string path = folder + name;
    const int fd = open(path.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) continue;
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) unlink(path.c_str());
    close(fd);
  }
  closedir(dir);
}

class LinuxProcess : public platform::Process {
 public:
  explicit LinuxProcess(const ProcessSetup& setup)
      : path_(setup.show_file.empty() ? ProgramFilePath(setup.argv0)
                                      : ShowFilePath(setup.show_file)),
        arguments_(WindowsCommandLine(setup.arguments)),
        instance_window_(setup.instance_window),
        single_instance_(setup.single_instance) {}
  ~LinuxProcess() override {
    if (lock_fd_ >= 0) close(lock_fd_);
  }

  std::string ProgramFolder() override {
    const size_t slash = path_.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path_.substr(0, slash);
  }

  std::string ProgramBaseName() override {
    const size_t slash = path_.rfind('/');
    std::string name = slash == std::string::npos ? path_ : path_.substr(slash + 1);
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name.erase(dot);
    return name;
  }

  std::string CommandLineArguments() override { return arguments_; }

  // The first call claims the program file's real path (and the window, when there is one) and
  // keeps the claim for the life of the process; a process that finds it claimed is not the
  // first.
  bool AnotherInstanceRunning() override {
    if (checked_) return another_;
    checked_ = true;
    std::string key = RealPath(path_);
    const auto folder = PrivateRuntimeFolder();
    if (!single_instance_ || key.empty() || !folder) return false;  // nothing to key on: run
    if (instance_window_ != 0) key += "\nwindow " + std::to_string(instance_window_);
    RemoveOldLockFiles(*folder);
    const std::string lock_path = *folder + kLockFile;
    lock_fd_ = open(lock_path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (lock_fd_ < 0) return false;
    struct flock claim {};
    claim.l_type = F_WRLCK;
    claim.l_whence = SEEK_SET;
    claim.l_start = ClaimOffset(key);
    claim.l_len = 1;
    if (fcntl(lock_fd_, F_OFD_SETLK, &claim) != 0) {
      another_ = errno == EAGAIN || errno == EACCES;
      close(lock_fd_);
      lock_fd_ = -1;
    }
    return another_;
  }

  bool CloseRequested() override { return CloseSignalReceived(); }

  // One line whatever the text holds: a file's name can't start another, nor drive the terminal.
  void Log(const std::string& text) override {
    std::fprintf(stderr, "slidesaver: %s\n", Printable(text).c_str());
  }

 private:
  static std::string ShowFilePath(const std::string& file) {
    const std::string real = RealPath(file);
    return real.empty() ? file : real;
  }

  std::string path_;
  std::string arguments_;
  uint32_t instance_window_;
  bool single_instance_;
  bool checked_ = false;
  bool another_ = false;
  int lock_fd_ = -1;
};

}  // namespace

std::string WindowsCommandLine(const std::vector<std::string>& arguments) {
  std::string line;
  for (const std::string& argument : arguments) {
    if (!line.empty()) line += ' ';
    line += QuotedArgument(argument);
  }
  return line;
}

std::unique_ptr<platform::Process> MakeLinuxProcess(const ProcessSetup& setup) {
  return std::make_unique<LinuxProcess>(setup);
}

std::unique_ptr<platform::Process> MakeLinuxProcess(int argc, char** argv) {
  ProcessSetup setup;
  setup.argv0 = argc > 0 ? argv[0] : nullptr;
  for (int i = 1; i < argc; ++i) setup.arguments.emplace_back(argv[i]);
  return MakeLinuxProcess(setup);
}

}  // namespace slidesaver::linux_platform

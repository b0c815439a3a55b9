// The running program on Linux: its file (from /proc/self/exe, else argv[0]), its arguments and
// the single-instance lock.
#include <fcntl.h>
#include <limits.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

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

std::string LockName(const std::string& program_path) {
  uint64_t hash = 1469598103934665603ull;  // FNV-1a: a short stable key for a long path
  for (unsigned char c : program_path) hash = (hash ^ c) * 1099511628211ull;
  char name[40];
  std::snprintf(name, sizeof name, "instance-%016llx.lock", static_cast<unsigned long long>(hash));
  return name;
}

class LinuxProcess : public platform::Process {
 public:
  LinuxProcess(int argc, char** argv) : path_(ProgramFilePath(argc > 0 ? argv[0] : nullptr)) {
    for (int i = 1; i < argc; ++i) {
      if (i > 1) arguments_ += ' ';
      arguments_ += QuotedArgument(argv[i]);
    }
  }
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

  // The first call takes an advisory lock keyed by the program file's real path and keeps it
  // for the life of the process; a process that finds the lock taken is not the first.
  bool AnotherInstanceRunning() override {
    if (checked_) return another_;
    checked_ = true;
    const std::string key = RealPath(path_);
    const auto folder = PrivateRuntimeFolder();
    if (key.empty() || !folder) return false;  // nothing to key on: run
    const std::string lock_path = *folder + LockName(key);
    lock_fd_ = open(lock_path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (lock_fd_ < 0) return false;
    if (flock(lock_fd_, LOCK_EX | LOCK_NB) != 0) {
      another_ = errno == EWOULDBLOCK;
      close(lock_fd_);
      lock_fd_ = -1;
    }
    return another_;
  }

  bool CloseRequested() override { return CloseSignalReceived(); }

  void Log(const std::string& text) override {
    std::fprintf(stderr, "slidesaver: %s\n", text.c_str());
  }

 private:
  std::string path_;
  std::string arguments_;
  bool checked_ = false;
  bool another_ = false;
  int lock_fd_ = -1;
};

}  // namespace

std::unique_ptr<platform::Process> MakeLinuxProcess(int argc, char** argv) {
  return std::make_unique<LinuxProcess>(argc, argv);
}

}  // namespace slidesaver::linux_platform

// The running program: its file, its command line and the single-instance claim.
#include "platform/win32/windows_api.h"

#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/win32/win32_platform.h"
#include "platform/win32/win_text.h"

namespace slidesaver::win32 {
namespace {

std::string ModuleFileName() {
  std::string buffer(MAX_PATH, '\0');
  for (;;) {
    const DWORD n = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return {};
    if (n < buffer.size()) return buffer.substr(0, n);
    buffer.resize(buffer.size() * 2);  // truncated: try a larger buffer
  }
}

// The mutex name: one per program file, whatever the letter case or the way it was started.
// Mutex names may not hold '\', and a path can be longer than a name, so the name carries a
// hash of the upper-cased path.
std::string InstanceMutexName(std::string path) {
  if (!path.empty()) CharUpperBuffA(path.data(), static_cast<DWORD>(path.size()));
  uint64_t hash = 14695981039346656037ull;  // FNV-1a
  for (unsigned char byte : path) {
    hash ^= byte;
    hash *= 1099511628211ull;
  }
  char name[64];
  std::snprintf(name, sizeof name, "slidesaver-instance-%016llx",
                static_cast<unsigned long long>(hash));
  return name;
}

class WinProcess : public platform::Process {
 public:
  WinProcess() : path_(ModuleFileName()) {}

  // With its backslash: a folder whose last character is double-byte may end in a 0x5C trail
  // byte, which a byte-wise "ends with '\\'" test would take for the separator.
  std::string ProgramFolder() override {
    const size_t separator = LastPathSeparator(path_);
    if (separator == std::string::npos) return {};
    return path_.substr(0, separator + 1);
  }

  std::string ProgramBaseName() override {
    const size_t separator = LastPathSeparator(path_);
    std::string name = separator == std::string::npos ? path_ : path_.substr(separator + 1);
    const size_t dot = name.rfind('.');  // '.' is never a trail byte
    return dot == std::string::npos ? name : name.substr(0, dot);
  }

  std::string CommandLineArguments() override {
    const char* line = GetCommandLineA();
    if (!line) return {};
    // The program's own name: quoted, or up to the first blank.
    if (*line == '"') {
      ++line;
      while (*line && *line != '"') ++line;
      if (*line == '"') ++line;
    } else {
      while (*line && *line != ' ' && *line != '\t') ++line;
    }
    while (*line == ' ' || *line == '\t') ++line;
    return line;
  }

  bool AnotherInstanceRunning() override {
    if (!checked_) {
      checked_ = true;
      mutex_ = CreateMutexA(nullptr, FALSE, InstanceMutexName(path_).c_str());
      // ERROR_ACCESS_DENIED: the mutex exists, made by another user's instance.
      another_ = mutex_ == nullptr || GetLastError() == ERROR_ALREADY_EXISTS;
      // The handle stays open for the life of the process: that is the claim.
    }
    return another_;
  }

  // Windows ends a screen saver through its window (WM_CLOSE), which the show hears itself.
  bool CloseRequested() override { return false; }

  void Log(const std::string& text) override {
    OutputDebugStringA(("slidesaver: " + text + "\n").c_str());
  }

 private:
  std::string path_;
  bool checked_ = false;
  bool another_ = false;
  HANDLE mutex_ = nullptr;
};

}  // namespace

std::unique_ptr<platform::Process> MakeWinProcess() { return std::make_unique<WinProcess>(); }

}  // namespace slidesaver::win32

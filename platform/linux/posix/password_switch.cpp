#include "platform/linux/posix/password_switch.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace slidesaver::linux_platform {
namespace {

constexpr std::string_view kSwitchName = "ScreenSaveUsePassword";
constexpr size_t kLongestLineRead = 4096;           // a longer line cannot be ours
constexpr size_t kMostBytesRead = size_t{1} << 20;  // nor anything after the first megabyte

std::string_view Trim(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

// Value names are case-insensitive, as in the registry the switch comes from.
bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// On for a non-zero 32-bit decimal value, signed or unsigned. A value that can't be read
// as one is off, like a registry value that doesn't fit its 4-byte buffer.
bool SwitchValueIsOn(std::string_view text) {
  int64_t value = 0;
  const char* first = text.data();
  const char* last = text.data() + text.size();
  if (first != last && *first == '+') ++first;
  const auto [end, error] = std::from_chars(first, last, value);
  if (error != std::errc{} || end != last) return false;
  if (value < INT32_MIN || value > int64_t{UINT32_MAX}) return false;
  return value != 0;
}

std::string HomeFolder() {
  if (const char* home = std::getenv("HOME"); home && *home) return home;
  if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir) return entry->pw_dir;
  return {};
}

}  // namespace

std::string UserConfigFolder() {
  if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && config[0] == '/')
    return std::string(config) + "/slidesaver";
  const std::string home = HomeFolder();
  if (home.empty()) return {};
  return home + "/.config/slidesaver";
}

bool ReadPasswordSwitch() {
  const std::string folder = UserConfigFolder();
  return !folder.empty() && ReadPasswordSwitch(folder + "/desktop.conf");
}

bool ReadPasswordSwitch(const std::string& desktop_conf_path) {
  // Read a piece at a time, never more than kMostBytesRead, and a line only as long as ours
  // can be: the file's size is not ours to choose. A FIFO is not waited for.
  const int fd = open(desktop_conf_path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat info {};
  bool on = false;
  if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
    std::string line;
    bool too_long = false;
    // The last line that names the switch decides.
    const auto end_line = [&] {
      const std::string_view text = Trim(line);
      const size_t equals = text.find('=');
      if (!too_long && equals != std::string_view::npos &&
          SameName(Trim(text.substr(0, equals)), kSwitchName)) {
        on = SwitchValueIsOn(Trim(text.substr(equals + 1)));
      }
      line.clear();
      too_long = false;
    };
    char buffer[16384];
    for (size_t total = 0; total < kMostBytesRead;) {
      const ssize_t n = read(fd, buffer, std::min(sizeof buffer, kMostBytesRead - total));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      total += static_cast<size_t>(n);
      for (const char c : std::string_view(buffer, static_cast<size_t>(n))) {
        if (c == '\n') {
          end_line();
        } else if (line.size() < kLongestLineRead) {
          line.push_back(c);
        } else {
          too_long = true;
        }
      }
    }
    end_line();
  }
  close(fd);
  return on;
}

}  // namespace slidesaver::linux_platform

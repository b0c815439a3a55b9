#include "platform/linux/posix/password_switch.h"

#include <pwd.h>
#include <unistd.h>

#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string_view>

namespace slidesaver::linux_platform {
namespace {

constexpr std::string_view kSwitchName = "ScreenSaveUsePassword";
constexpr size_t kLongestLineRead = 4096;  // a longer line cannot be ours

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
  std::ifstream file(desktop_conf_path, std::ios::binary);
  bool on = false;
  std::string line;
  // The last line that names the switch decides.
  while (file && std::getline(file, line)) {
    if (line.size() > kLongestLineRead) continue;
    const std::string_view text = Trim(line);
    const size_t equals = text.find('=');
    if (equals == std::string_view::npos) continue;
    if (!SameName(Trim(text.substr(0, equals)), kSwitchName)) continue;
    on = SwitchValueIsOn(Trim(text.substr(equals + 1)));
  }
  return on;
}

}  // namespace slidesaver::linux_platform

#include "package/stored_file_name.h"

#include "package/device_names.h"

namespace slidesaver {

const char* WhyNotAFileName(std::string_view name, const platform::PathRules& paths) {
  if (name.empty()) return "it is empty";
  if (name == "." || name == "..") return "it names a folder";
  if (IsWindowsDeviceName(name)) return "Windows opens it as a device";
  if (name.find('\0') != std::string_view::npos) return "it holds a NUL byte";
  if (name.find('/') != std::string_view::npos) return "it holds a '/'";
  if (paths.separator != '\\') return nullptr;
  // The trail byte of a double-byte character may be 0x5C without being a '\'.
  const bool plain = paths.ForEachCharacter(name, [&](size_t position, size_t length) {
    return length == 2 || (name[position] != '\\' && name[position] != ':');
  });
  return plain ? nullptr : "it holds a '\\' or a ':'";
}

}  // namespace slidesaver

#include "package/device_names.h"

#include <algorithm>
#include <array>
#include <string>

namespace slidesaver {

bool IsWindowsDeviceName(std::string_view name) {
  // Windows looks at the name up to its first '.' or ':', without the blanks at its end.
  std::string_view stem = name.substr(0, name.find_first_of(".:"));
  while (!stem.empty() && stem.back() == ' ') stem.remove_suffix(1);
  std::string lower(stem);
  std::transform(lower.begin(), lower.end(), lower.begin(), [](char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  });

  static constexpr std::array<std::string_view, 6> kNamed = {"con", "prn",    "aux",
                                                             "nul", "conin$", "conout$"};
  if (std::find(kNamed.begin(), kNamed.end(), lower) != kNamed.end()) return true;
  // COM1 to COM9 and LPT1 to LPT9.
  return lower.size() == 4 && (lower.starts_with("com") || lower.starts_with("lpt")) &&
         lower[3] >= '1' && lower[3] <= '9';
}

}  // namespace slidesaver

#include "platform/path_rules.h"

namespace slidesaver::platform {

bool PathRules::EndsWithSeparator(std::string_view path) const {
  if (path.empty() || path.back() != separator) return false;
  size_t last = 0;
  ForEachCharacter(path, [&](size_t position, size_t) {
    last = position;
    return true;
  });
  return last == path.size() - 1;
}

std::string PathRules::WithTrailingSeparator(std::string folder) const {
  if (!EndsWithSeparator(folder)) folder.push_back(separator);
  return folder;
}

std::string PathRules::Join(const std::string& folder, const std::string& name) const {
  return WithTrailingSeparator(folder) + name;
}

}  // namespace slidesaver::platform

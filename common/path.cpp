#include "common/path.h"

namespace slidesaver {

std::string WithTrailingSeparator(std::string folder, char separator) {
  if (folder.empty() || folder.back() != separator) folder.push_back(separator);
  return folder;
}

std::string JoinPath(const std::string& folder, const std::string& name, char separator) {
  return WithTrailingSeparator(folder, separator) + name;
}

}  // namespace slidesaver

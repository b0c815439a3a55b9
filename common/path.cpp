#include "common/path.h"

namespace slidesaver {

bool EndsWithSeparator(const std::string& path, char separator,
                       const LeadBytePredicate& is_lead_byte) {
  if (path.empty() || path.back() != separator) return false;
  if (!is_lead_byte) return true;
  // Walk the characters from the start: only there is it known where each one begins.
  size_t last = 0;
  for (size_t i = 0; i < path.size();) {
    last = i;
    const bool double_byte = is_lead_byte(static_cast<uint8_t>(path[i])) && i + 1 < path.size();
    i += double_byte ? 2 : 1;
  }
  return last == path.size() - 1;
}

std::string WithTrailingSeparator(std::string folder, char separator,
                                  const LeadBytePredicate& is_lead_byte) {
  if (!EndsWithSeparator(folder, separator, is_lead_byte)) folder.push_back(separator);
  return folder;
}

std::string JoinPath(const std::string& folder, const std::string& name, char separator,
                     const LeadBytePredicate& is_lead_byte) {
  return WithTrailingSeparator(folder, separator, is_lead_byte) + name;
}

}  // namespace slidesaver

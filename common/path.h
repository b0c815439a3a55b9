#pragma once
// Joining a folder and a file name with the platform's path separator.
#include <string>

namespace slidesaver {

// `folder` followed by `separator`, unless it already ends with one (a root such as "/" or "C:\").
std::string WithTrailingSeparator(std::string folder, char separator);

// The folder, the separator unless the folder already ends with it, then `name`.
std::string JoinPath(const std::string& folder, const std::string& name, char separator);

}  // namespace slidesaver

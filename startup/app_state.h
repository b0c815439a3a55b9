#pragma once
// The process-wide values that start-up fills and the show reads.
#include <string>

#include "package/package.h"
#include "settings/settings.h"

namespace slidesaver {

struct AppState {
  PackageHeader Package;
  Settings settings;
  std::string TempDir;  // extraction folder, always ending with the path separator
};

}  // namespace slidesaver

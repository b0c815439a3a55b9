#pragma once
// What start-up reads before it looks at the mode: the Package and the user's settings.
#include "package/package.h"
#include "settings/settings.h"

namespace slidesaver {

struct AppState {
  PackageHeader Package;
  Settings settings;
};

}  // namespace slidesaver

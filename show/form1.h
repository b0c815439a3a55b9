#pragma once
#include "platform/platform.h"
#include "startup/app_state.h"

namespace slidesaver {

// Loads the show form (the whole show runs inside its load handler), then unloads it,
// which deletes the extracted files and their folder.
void RunShowForm(platform::Platform& platform, AppState& app);

}  // namespace slidesaver

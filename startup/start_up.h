#pragma once
// The program's entry procedure: refuses a second instance, reads the Package from the .scr of
// the program's base name and the settings from its .set, then runs the mode the command line
// names (/S show, /C settings, /A password change; /P and anything else do nothing).
// Failing steps are skipped silently; only ProcessExit leaves it early.
#include "platform/platform.h"
#include "startup/app_state.h"

namespace slidesaver {

void StartUp(platform::Platform& platform, AppState& app);

}  // namespace slidesaver

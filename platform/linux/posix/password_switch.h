#pragma once
#include <string>

namespace slidesaver::linux_platform {

// The per-user folder of the player's desktop settings: $XDG_CONFIG_HOME/slidesaver, or
// ~/.config/slidesaver when XDG_CONFIG_HOME is unset or not absolute. Empty when no home
// folder is known.
std::string UserConfigFolder();

// The desktop's screen-saver password switch, the line "ScreenSaveUsePassword=<decimal>" of
// desktop.conf in UserConfigFolder(). A missing file, a missing line or a value that is not
// a 32-bit number is off; any non-zero number is on. The file is only read, and only its first
// megabyte, a line longer than 4096 bytes never whole.
bool ReadPasswordSwitch();
bool ReadPasswordSwitch(const std::string& desktop_conf_path);

}  // namespace slidesaver::linux_platform

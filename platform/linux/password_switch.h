#pragma once

namespace slidesaver::linux_platform {

// "ScreenSaveUsePassword" from $XDG_CONFIG_HOME/slidesaver/desktop.conf: missing → off.
bool ReadPasswordSwitch();

}  // namespace slidesaver::linux_platform

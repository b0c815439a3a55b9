#pragma once

namespace slidesaver::linux_platform {

// Tells the desktop that a screen saver runs (its own saver and display blanking stay off) or
// has ended.
void SetScreenSaverInhibited(bool running);

}  // namespace slidesaver::linux_platform

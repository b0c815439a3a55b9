#include "platform/linux/sdl/screen_saver_inhibit.h"

#include <SDL.h>

namespace slidesaver::linux_platform {

// SDL keeps the X screen saver and display blanking off (and, where the desktop offers it,
// holds an inhibit) while the screen saver is disabled. Before the show's SDL video is up
// there is nothing to inhibit; SDL ignores the call.
void SetScreenSaverInhibited(bool running) {
  if (!SDL_WasInit(SDL_INIT_VIDEO)) return;
  if (running) {
    SDL_DisableScreenSaver();
  } else {
    SDL_EnableScreenSaver();
  }
}

}  // namespace slidesaver::linux_platform

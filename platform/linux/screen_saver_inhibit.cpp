#include "platform/linux/screen_saver_inhibit.h"

namespace slidesaver::linux_platform {

void SetScreenSaverInhibited(bool) {
  // Nothing is told yet: the show window's inhibition comes with the SDL show services.
}

}  // namespace slidesaver::linux_platform

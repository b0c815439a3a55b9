#include "platform/fake/fake_platform.h"

namespace slidesaver::fake {

FakePlatform::FakePlatform()
    : system(log),
      events(log, window),
      window(log),
      audio(log),
      pictures(log),
      dialogs(log, window),
      platform_{process, files, system, events, window, audio, pictures, dialogs} {}

}  // namespace slidesaver::fake

#include "platform/fake/fake_platform.h"

namespace slidesaver::fake {

FakePlatform::FakePlatform()
    : events(log, window),
      window(log),
      audio(log),
      pictures(log),
      platform_{process, files, system, events, window, audio, pictures, dialogs} {}

}  // namespace slidesaver::fake

#include "platform/fake/fake_platform.h"

namespace slidesaver::fake {

FakePlatform::FakePlatform()
    : platform_{process, files, system, events, window, audio, pictures, dialogs} {}

}  // namespace slidesaver::fake

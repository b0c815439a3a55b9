#pragma once
// The SDL show window for the show's place.
#include <memory>

#include "platform/linux/sdl/sdl_show_window.h"

namespace slidesaver::linux_platform {

std::unique_ptr<SdlShowWindow> MakeSdlShowWindow(std::shared_ptr<SdlContext> sdl,
                                                 const ShowPlace& place);

}  // namespace slidesaver::linux_platform

#include "platform/linux/sdl/make_sdl_show_window.h"

#include "platform/linux/sdl/foreign_show_window.h"
#include "platform/linux/sdl/full_screen_show_window.h"
#include "platform/linux/sdl/own_show_window.h"

namespace slidesaver::linux_platform {

std::unique_ptr<SdlShowWindow> MakeSdlShowWindow(std::shared_ptr<SdlContext> sdl,
                                                 const ShowPlace& place) {
  switch (place.kind) {
    case ShowPlace::Kind::ForeignWindow:
      return std::make_unique<ForeignShowWindow>(std::move(sdl), place.window, place.fit);
    case ShowPlace::Kind::OwnWindow:
      return std::make_unique<OwnShowWindow>(std::move(sdl), place.fit);
    case ShowPlace::Kind::Screen:
      break;
  }
  return std::make_unique<FullScreenShowWindow>(std::move(sdl), place.fit);
}

}  // namespace slidesaver::linux_platform

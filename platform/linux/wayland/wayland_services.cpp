// The show's services on Wayland: the player's own Wayland window and event loop, and SDL's
// audio and picture loading as on X11.
#include "platform/linux/linux_platform.h"
#include "platform/linux/sdl/sdl_audio.h"
#include "platform/linux/sdl/sdl_picture_loader.h"
#include "platform/linux/wayland/wayland_context.h"
#include "platform/linux/wayland/wayland_event_loop.h"
#include "platform/linux/wayland/wayland_show_window.h"

namespace slidesaver::linux_platform {

SdlServices MakeWaylandServices(ShowPlace place) {
  auto sdl = std::make_shared<SdlContext>();
  auto context = std::make_shared<WaylandContext>(sdl);
  auto window = std::make_unique<WaylandShowWindow>(context, place);
  auto events = std::make_unique<WaylandEventLoop>(context, *window);
  return {std::move(events), std::move(window), MakeSdlAudio(sdl), MakeSdlPictureLoader(),
          [context] { return context->Start(); }};
}

}  // namespace slidesaver::linux_platform

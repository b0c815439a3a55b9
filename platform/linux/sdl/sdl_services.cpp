// The show's services on Linux, sharing one SDL context.
#include "platform/linux/linux_platform.h"
#include "platform/linux/posix/close_signals.h"
#include "platform/linux/sdl/make_sdl_show_window.h"
#include "platform/linux/sdl/sdl_audio.h"
#include "platform/linux/sdl/sdl_context.h"
#include "platform/linux/sdl/sdl_event_loop.h"
#include "platform/linux/sdl/sdl_picture_loader.h"

namespace slidesaver::linux_platform {

SdlServices MakeSdlServices(ShowPlace place) {
  auto sdl = std::make_shared<SdlContext>();
  auto window = MakeSdlShowWindow(sdl, place);
  auto events = std::make_unique<SdlEventLoop>(sdl, *window);
  return {std::move(events), std::move(window), MakeSdlAudio(sdl),
          MakeSdlPictureLoader(CloseSignalReceived), [sdl] { return sdl->StartVideo(); }};
}

}  // namespace slidesaver::linux_platform

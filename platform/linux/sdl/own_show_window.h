#pragma once
// The show in an ordinary resizable window of its own (--window): it opens at the show area's
// size, or scaled down to fit most of the desktop, and the area follows the window's size as in
// another program's window. Closing the window ends the show; other input does not.
#include "platform/linux/sdl/desktop_monitors.h"
#include "platform/linux/sdl/sdl_show_window.h"

namespace slidesaver::linux_platform {

class OwnShowWindow : public SdlShowWindow {
 public:
  OwnShowWindow(std::shared_ptr<SdlContext> sdl, gdi::AreaFit fit)
      : SdlShowWindow(std::move(sdl), fit) {}

  // The window's size; before it opens, the primary monitor's.
  platform::ScreenSize GetScreenSize() override;

 private:
  SdlWindow OpenWindow() override;

  KnownMonitors monitors_;
};

}  // namespace slidesaver::linux_platform

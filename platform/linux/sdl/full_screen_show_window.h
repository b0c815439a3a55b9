#pragma once
// The show in its place on the screen (/S): black, borderless, top-most over every monitor, the
// show area on the primary one, input on any of them to the show. With one monitor it is SDL's
// full-screen window; SDL's full screen takes one display, so with more it is one borderless
// window over their union.
#include "platform/linux/sdl/desktop_monitors.h"
#include "platform/linux/sdl/sdl_show_window.h"

namespace slidesaver::linux_platform {

class FullScreenShowWindow : public SdlShowWindow {
 public:
  FullScreenShowWindow(std::shared_ptr<SdlContext> sdl, gdi::AreaFit fit)
      : SdlShowWindow(std::move(sdl), fit) {}

  // The primary monitor's size: the show centres its area there.
  platform::ScreenSize GetScreenSize() override;
  void SetTopMost() override;
  void SetCursorVisible(bool visible) override;
  void Grab(bool on) override;

 private:
  SdlWindow OpenWindow() override;
  platform::AreaPlacement PlaceInWindow() override;
  void Reveal() override;
  bool PassesInputToShow() const override { return true; }

  KnownMonitors monitors_;
  bool cursor_visible_ = true;
};

}  // namespace slidesaver::linux_platform

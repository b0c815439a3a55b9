#pragma once
// The show in another program's X window (an X screen saver's, a settings app's preview, the
// root window): the area centred, or scaled down when the window is smaller, following the
// window's size. The other program keeps the input; its destroying the window ends the show.
#include <cstdint>

#include "platform/linux/sdl/sdl_show_window.h"

namespace slidesaver::linux_platform {

class ForeignShowWindow : public SdlShowWindow {
 public:
  ForeignShowWindow(std::shared_ptr<SdlContext> sdl, uint32_t window, gdi::AreaFit fit)
      : SdlShowWindow(std::move(sdl), fit), foreign_window_(window) {}
  ~ForeignShowWindow() override;

  // The window's size.
  platform::ScreenSize GetScreenSize() override;
  void Hide() override {}  // the other program's to decide
  platform::WindowHandle Handle() override { return foreign_window_; }

 private:
  SdlWindow OpenWindow() override;
  bool HasSurfaceWhenOpen() const override { return false; }
  void Reveal() override {}
  void OnWindowManagerMessage(const SDL_SysWMmsg& message) override;

  uint32_t foreign_window_;
  void* x_display_ = nullptr;  // SDL's X connection to the window (SDL owns it)
  SdlWindow wakeup_window_;    // never shown: see OpenWindow
};

}  // namespace slidesaver::linux_platform

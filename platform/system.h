#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace slidesaver::platform {

using WindowHandle = uint32_t;  // an X11 window id, or an HWND on Windows; 0 = none

class System {
 public:
  virtual ~System() = default;
  // The folder under which the show's files are extracted (the Windows directory on
  // Windows; a private per-user folder on Linux); empty when none can be had.
  virtual std::optional<std::string> ExtractionBaseFolder() = 0;
  // The desktop's "ScreenSaveUsePassword" switch.
  virtual bool ScreenSaverPasswordOn() = 0;
  // Tells the system a screen saver runs (inhibits its own saver and display blanking).
  virtual void SetScreenSaverRunning(bool running) = 0;
  virtual WindowHandle ForegroundWindow() = 0;
};

}  // namespace slidesaver::platform

#pragma once
#include <cstdint>
#include <string>

namespace slidesaver::platform {

using WindowHandle = uint32_t;  // an X11 window id, or an HWND on Windows; 0 = none

// The folder for the show's files, or why there is none.
struct BaseFolder {
  std::string path;     // empty: none can be had
  std::string problem;  // why not, for the user and the log
};

class System {
 public:
  virtual ~System() = default;
  // The folder under which the show's files are extracted (the Windows directory on
  // Windows; a private per-user folder on Linux).
  virtual BaseFolder ExtractionBaseFolder() = 0;
  // The desktop's "ScreenSaveUsePassword" switch.
  virtual bool ScreenSaverPasswordOn() = 0;
  // Tells the system a screen saver runs (inhibits its own saver and display blanking).
  virtual void SetScreenSaverRunning(bool running) = 0;
  virtual WindowHandle ForegroundWindow() = 0;
};

}  // namespace slidesaver::platform

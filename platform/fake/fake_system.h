#pragma once
#include <optional>
#include <string>
#include <vector>

#include "platform/system.h"

namespace slidesaver::fake {

// System values as a test sets them; SetScreenSaverRunning and ForegroundWindow are logged.
class FakeSystem : public platform::System {
 public:
  std::optional<std::string> base_folder;  // none: extraction can't start
  bool password_on = false;
  platform::WindowHandle foreground_window = 0;
  std::vector<std::string> log;

  std::optional<std::string> ExtractionBaseFolder() override { return base_folder; }
  bool ScreenSaverPasswordOn() override { return password_on; }
  void SetScreenSaverRunning(bool running) override {
    log.push_back(running ? "SetScreenSaverRunning(true)" : "SetScreenSaverRunning(false)");
  }
  platform::WindowHandle ForegroundWindow() override {
    log.push_back("ForegroundWindow");
    return foreground_window;
  }
};

}  // namespace slidesaver::fake

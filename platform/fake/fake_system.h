#pragma once
#include <optional>
#include <string>

#include "platform/fake/fake_event_loop.h"
#include "platform/system.h"

namespace slidesaver::fake {

// System values as a test sets them. Logged: "ScreenSaverPasswordOn",
// "SetScreenSaverRunning 1" (or 0) and "ForegroundWindow".
class FakeSystem : public platform::System {
 public:
  explicit FakeSystem(FakeCallLog& log) : log_(log) {}

  std::optional<std::string> base_folder;  // none: extraction can't start, for this reason:
  std::string base_folder_problem = "no folder for the test";
  bool password_on = false;
  platform::WindowHandle foreground_window = 0;

  platform::BaseFolder ExtractionBaseFolder() override {
    if (!base_folder) return {"", base_folder_problem};
    return {*base_folder, ""};
  }
  bool ScreenSaverPasswordOn() override {
    log_.Add("ScreenSaverPasswordOn");
    return password_on;
  }
  void SetScreenSaverRunning(bool running) override {
    log_.Add(running ? "SetScreenSaverRunning 1" : "SetScreenSaverRunning 0");
  }
  platform::WindowHandle ForegroundWindow() override {
    log_.Add("ForegroundWindow");
    return foreground_window;
  }

 private:
  FakeCallLog& log_;
};

}  // namespace slidesaver::fake

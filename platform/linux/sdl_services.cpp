// Placeholder show services until the SDL window, audio and picture loader exist.
#include <chrono>

#include "common/run_time_error.h"
#include "platform/linux/linux_platform.h"

namespace slidesaver::linux_platform {
namespace {

class ClockOnlyEvents : public platform::EventLoop {
 public:
  int32_t TickCount() override {
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start_);
    return static_cast<int32_t>(ms.count());
  }
  void Yield() override {}
  void YieldUntil(int32_t) override {}

 private:
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

class NoWindow : public platform::ShowWindow {
 public:
  void Move(int32_t, int32_t, int32_t, int32_t) override {}
  void Present(const gdi::Bitmap&, const gdi::Rect&) override {}
  platform::ScreenSize GetScreenSize() override { return {1024, 768}; }
  void SetInputSink(platform::InputSink*) override {}
  void Show() override {}
  void Hide() override {}
  void SetTopMost() override {}
  int32_t ShowCursor(bool show) override { return count_ += show ? 1 : -1; }
  platform::Point GetCursorPos() override { return {}; }
  void Grab(bool) override {}
  platform::WindowHandle Handle() override { return 0; }

 private:
  int32_t count_ = 0;
};

class NoAudio : public platform::Audio {
 public:
  std::string MciSendString(const std::string&) override { return {}; }
  void PlaySound(const std::string*, uint32_t) override {}
};

class NoPictures : public platform::PictureLoader {
 public:
  gdi::Bitmap Load(const std::string& path) override { throw InvalidPictureError(path); }
};

}  // namespace

SdlServices MakeSdlServices() {
  return {std::make_unique<ClockOnlyEvents>(), std::make_unique<NoWindow>(),
          std::make_unique<NoAudio>(), std::make_unique<NoPictures>()};
}

}  // namespace slidesaver::linux_platform

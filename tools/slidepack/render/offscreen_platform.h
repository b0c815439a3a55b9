#pragma once
// The platform a show is rendered on: no screen, no speakers, no user. Its clock is virtual, as
// the test platform's is: time stands still while the show draws and jumps to the deadline of
// each wait, so a show renders as fast as it is drawn and keeps its timing to the millisecond.
// What the show window presents is composed into a screen image; what the show asks of its
// audio goes to a SoundTrack; message boxes are kept for the renderer to report.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "platform/platform.h"

namespace slidepack::render {

namespace platform = slidesaver::platform;
namespace gdi = slidesaver::gdi;

// The tick type of the show's clock, as the event loop interface declares it.
using ShowTick = decltype(std::declval<platform::EventLoop&>().TickCount());

class OffscreenShowWindow : public platform::ShowWindow {
 public:
  // A screen exactly as large as the show area, so the area lies at its top-left corner.
  OffscreenShowWindow(int32_t width, int32_t height) : width_(width), height_(height) {}

  // gdi::Presenter: the presented image is the screen. It is kept by reference, not copied:
  // the show draws into it again only after the clock has moved (see Screen()).
  void Move(int32_t left, int32_t top, int32_t width, int32_t height) override;
  void Present(const gdi::Bitmap& image, std::span<const gdi::Rect> damage) override;
  // platform::ShowWindow
  platform::ScreenSize GetScreenSize() override { return {width_, height_}; }
  void SetInputSink(platform::InputSink* sink) override { sink_ = sink; }
  void Show() override {}
  void Hide() override {}
  void SetTopMost() override {}
  void SetCursorVisible(bool) override {}
  platform::Point GetCursorPos() override { return {}; }
  void Grab(bool) override {}
  platform::WindowHandle Handle() override { return 0; }

  platform::InputSink* Sink() const { return sink_; }
  // The show area as presented so far; while the presented image itself stands for it, valid
  // only as long as nothing has been drawn into that image since its presentation.
  const gdi::Bitmap& Screen() const { return *screen_; }
  // The part of the screen changed since the last call.
  gdi::Rect TakeChanged() { return std::exchange(changed_, gdi::Rect{}); }
  // Runs after every presentation.
  std::function<void()> on_present;

 private:
  int32_t width_, height_;
  gdi::Bitmap copy_;  // the screen when no presented image is: black, or a copied part
  const gdi::Bitmap* screen_ = &copy_;
  gdi::Rect changed_{};
  platform::InputSink* sink_ = nullptr;
};

class OffscreenEventLoop : public platform::EventLoop {
 public:
  explicit OffscreenEventLoop(OffscreenShowWindow& window) : window_(window) {}

  ShowTick TickCount() override { return static_cast<ShowTick>(now_); }
  void Yield() override { Deliver(); }
  // Moves the clock past the deadline, unless a close request waits to be delivered.
  void YieldUntil(ShowTick deadline) override;

  int64_t Now() const { return now_; }
  // The show's window receives a close request in the next yield: the show ends as a
  // signal would end it, within one frame.
  void RequestClose() { close_requested_ = true; }
  // Runs before each move of the clock, with the tick it leaves and the one it moves to.
  std::function<void(int64_t from, int64_t to)> before_time_moves;

 private:
  void Deliver();

  OffscreenShowWindow& window_;
  int64_t now_ = 0;
  bool close_requested_ = false;
  bool close_delivered_ = false;
};

// Where the show's music and sounds go, at the ticks the show starts and stops them.
class SoundTrack {
 public:
  virtual ~SoundTrack() = default;
  virtual void MusicStarts(const std::string& path, int64_t tick) = 0;
  virtual void MusicStops(int64_t tick) = 0;
  // The music started last is still playing at `tick` (it has not reached its end).
  virtual bool MusicPlaying(int64_t tick) = 0;
  virtual void SoundStarts(const std::string& path, int64_t tick) = 0;
  virtual void SoundStops(int64_t tick) = 0;
};

// The player's audio as SDL2_mixer gives it: one music at a time, played once and restarted by
// the show; one sound at a time, a new one or a purge ending the one playing. Without a sound
// track nothing is heard and the music never ends.
class OffscreenAudio : public platform::Audio {
 public:
  OffscreenAudio(OffscreenEventLoop& clock, SoundTrack* track) : clock_(clock), track_(track) {}

  void StartMusic(const std::string& path) override;
  bool MusicEnded() override;
  void RestartMusic() override;
  void CloseMusic() override;
  void PlaySound(const std::string& path) override;
  void StopSound() override;

 private:
  void Play();

  OffscreenEventLoop& clock_;
  SoundTrack* track_;
  std::optional<std::string> music_;  // the open music's file
  bool playing_ = false;              // started and not stopped since
};

// Message boxes are kept (the show reports a run-time error in one); nothing else is asked.
class OffscreenDialogs : public platform::Dialogs {
 public:
  void MessageBox(const std::string& text, const std::string&, platform::MessageIcon) override {
    messages.push_back(text);
  }
  void ShowSettingsDialog(platform::SettingsDialogModel&) override {}
  bool CheckPassword(platform::WindowHandle) override { return true; }
  void ChangePassword(platform::WindowHandle) override {}

  std::vector<std::string> messages;
};

// No password, no other screen saver, the show's files under `base_folder`.
class OffscreenSystem : public platform::System {
 public:
  explicit OffscreenSystem(std::string base_folder) : base_folder_(std::move(base_folder)) {}
  platform::BaseFolder ExtractionBaseFolder() override { return {base_folder_, ""}; }
  bool ScreenSaverPasswordOn() override { return false; }
  void SetScreenSaverRunning(bool) override {}
  platform::WindowHandle ForegroundWindow() override { return 0; }

 private:
  std::string base_folder_;
};

class OffscreenProcess : public platform::Process {
 public:
  std::string ProgramFolder() override { return "."; }
  std::string ProgramBaseName() override { return "slidepack"; }
  std::string CommandLineArguments() override { return "/S"; }
  bool AnotherInstanceRunning() override { return false; }
  bool CloseRequested() override { return false; }
  // What the show's extraction could not write, and the show's errors, are said by the render's
  // own error.
  void Log(const std::string&) override {}
};

}  // namespace slidepack::render

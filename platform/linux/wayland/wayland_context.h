#pragma once
// What the Wayland show window and its event loop share: the connection, made on first use so
// that the settings and password modes never open it, and the wake-up of a waiting event loop.
// A close signal and a call posted by SDL's audio thread both wake it; SDL keeps the audio and
// its event queue carries the posted calls (SDL's video is not started).
#include <memory>

#include "platform/linux/posix/close_signals.h"
#include "platform/linux/sdl/sdl_context.h"
#include "platform/linux/wayland/wayland_connection.h"

namespace slidesaver::linux_platform {

class WaylandContext {
 public:
  explicit WaylandContext(std::shared_ptr<SdlContext> sdl) : sdl_(std::move(sdl)) {}
  ~WaylandContext();
  WaylandContext(const WaylandContext&) = delete;
  WaylandContext& operator=(const WaylandContext&) = delete;

  // Connects once; false when there is no compositor.
  bool Start();
  bool Started() const { return connection_ != nullptr; }
  // Start, throwing when there is no compositor.
  WaylandConnection& Connection();
  SdlContext& Sdl() { return *sdl_; }
  // Readable after a wake-up; Drain empties it.
  int WakeFd() const { return wake_fd_; }
  void DrainWakeUps();

 private:
  std::shared_ptr<SdlContext> sdl_;
  std::unique_ptr<WaylandConnection> connection_;
  int wake_fd_ = -1;
  bool events_started_ = false;
  std::unique_ptr<CloseSignalListener> close_signals_;
};

}  // namespace slidesaver::linux_platform

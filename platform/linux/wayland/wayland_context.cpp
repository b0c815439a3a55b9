#include "platform/linux/wayland/wayland_context.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>
#include <stdexcept>

#include "platform/linux/sdl/sdl_posted_calls.h"

namespace slidesaver::linux_platform {

WaylandContext::~WaylandContext() {
  close_signals_.reset();
  PostedCalls::WakeAlso(-1);
  if (events_started_) SDL_QuitSubSystem(SDL_INIT_EVENTS);
  connection_.reset();
  if (wake_fd_ >= 0) close(wake_fd_);
}

bool WaylandContext::Start() {
  if (connection_) return true;
  if (wake_fd_ < 0) {
    wake_fd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wake_fd_ < 0) throw std::runtime_error("no event descriptor for the show's event loop");
    RouteCloseSignals();  // main has done it already; a program of the tests may not have
    // Before the connection: its first round trips wait on it too.
    const int fd = wake_fd_;
    close_signals_ = std::make_unique<CloseSignalListener>([fd] {
      const uint64_t one = 1;
      [[maybe_unused]] const ssize_t written = write(fd, &one, sizeof one);
    });
  }
  connection_ = WaylandConnection::Connect(wake_fd_);
  if (!connection_) return false;
  // SDL's event queue only, for the calls its audio thread posts; the signals stay ours.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  events_started_ = SDL_InitSubSystem(SDL_INIT_EVENTS) == 0;
  PostedCalls::WakeAlso(wake_fd_);
  return true;
}

WaylandConnection& WaylandContext::Connection() {
  if (!Start()) throw std::runtime_error("no display for the show: no Wayland compositor");
  return *connection_;
}

void WaylandContext::DrainWakeUps() {
  if (wake_fd_ < 0) return;
  uint64_t count = 0;
  [[maybe_unused]] const ssize_t got = read(wake_fd_, &count, sizeof count);
}

}  // namespace slidesaver::linux_platform

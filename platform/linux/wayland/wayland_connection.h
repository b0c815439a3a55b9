#pragma once
// The player's own connection to the Wayland compositor, for the show window: the globals it
// binds, the outputs in the order the compositor announced them (the first is the one SDL calls
// display 0), and the input of every seat. Keyboards and pointers may come and go at any time
// (a virtual keyboard lives for milliseconds): each is released when its seat stops offering
// it and got again when the seat offers it again. No keymap is read: any key is input.
#include <wayland-client.h>
#include <wlr-layer-shell-unstable-v1-client-protocol.h>
#include <xdg-shell-client-protocol.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "platform/linux/wayland/wayland_owned.h"

namespace slidesaver::linux_platform {

struct WaylandOutput {
  WaylandOwned<wl_output> output = NoObject<wl_output>();
  uint32_t name = 0;  // the registry's
  int32_t width = 0;  // the current mode, device pixels
  int32_t height = 0;
  int32_t scale = 1;
};

// Where the connection hands its input; surface coordinates are the surface's own (logical).
class WaylandInputHandler {
 public:
  virtual ~WaylandInputHandler() = default;
  virtual void PointerEntered(wl_pointer* pointer, uint32_t serial, wl_surface* surface, double x,
                              double y) = 0;
  // nullptr: the pointer itself has gone (its seat no longer offers one).
  virtual void PointerLeft(wl_surface* surface) = 0;
  virtual void PointerMoved(double x, double y) = 0;
  virtual void ButtonPressed() = 0;
  virtual void KeyPressed() = 0;
};

class WaylandConnection {
 public:
  // Connects to the compositor of WAYLAND_DISPLAY and learns its globals and outputs; nullptr
  // when there is none. `wake_fd` (an eventfd) is written to when the process is asked to
  // close, and by other threads that want a wait to end: every wait for the compositor also
  // waits on it, so that a compositor that never answers cannot keep the process from
  // closing.
  static std::unique_ptr<WaylandConnection> Connect(int wake_fd);
  ~WaylandConnection();
  WaylandConnection(const WaylandConnection&) = delete;
  WaylandConnection& operator=(const WaylandConnection&) = delete;

  wl_compositor* Compositor() const { return compositor_.get(); }
  wl_shm* Shm() const { return shm_.get(); }
  // nullptr where the compositor offers no layer shell (GNOME's mutter).
  zwlr_layer_shell_v1* LayerShell() const { return layer_shell_.get(); }
  xdg_wm_base* WmBase() const { return wm_base_.get(); }
  const std::vector<std::unique_ptr<WaylandOutput>>& Outputs() const { return outputs_; }

  void SetInputHandler(WaylandInputHandler* handler) { input_ = handler; }
  // Called with each output the compositor announces from now on (one plugged in), once it is
  // bound; its mode and scale follow. Empty: none.
  void SetOutputAddedHandler(std::function<void(WaylandOutput&)> handler) {
    output_added_ = std::move(handler);
  }

  // Sends what is queued, reads what has arrived and runs its listeners, without blocking.
  // When the compositor has closed the connection, says so and ends the process with status
  // 1 (ProcessExit), as the X server's end does; with 0 when a close was asked for already.
  void Dispatch();
  // Blocks until the compositor sends something, wake_fd is readable or `until` passes (which
  // does not block when it has; nullopt: no time limit). Listeners run in the next Dispatch.
  void Wait(std::optional<std::chrono::steady_clock::time_point> until, int wake_fd);
  // Sends what is queued now.
  void Flush() { wl_display_flush(display_.get()); }
  // Until the compositor has handled everything sent so far; listeners run meanwhile. A close
  // signal that comes first ends the process the normal way (ProcessExit{0}).
  void Roundtrip();

 private:
  struct Seat;
  WaylandConnection() = default;
  void Check();
  static void OnGlobal(void* self, wl_registry* registry, uint32_t name, const char* interface,
                       uint32_t version);
  static void OnGlobalRemove(void* self, wl_registry* registry, uint32_t name);
  void SeatCapabilities(Seat& seat, uint32_t capabilities);

  WaylandOwned<wl_display> display_ = NoObject<wl_display>();
  WaylandOwned<wl_registry> registry_ = NoObject<wl_registry>();
  WaylandOwned<wl_compositor> compositor_ = NoObject<wl_compositor>();
  WaylandOwned<wl_shm> shm_ = NoObject<wl_shm>();
  WaylandOwned<zwlr_layer_shell_v1> layer_shell_ = NoObject<zwlr_layer_shell_v1>();
  WaylandOwned<xdg_wm_base> wm_base_ = NoObject<xdg_wm_base>();
  std::vector<std::unique_ptr<WaylandOutput>> outputs_;
  std::vector<std::unique_ptr<Seat>> seats_;
  WaylandInputHandler* input_ = nullptr;
  int wake_fd_ = -1;
  std::function<void(WaylandOutput&)> output_added_;
};

}  // namespace slidesaver::linux_platform

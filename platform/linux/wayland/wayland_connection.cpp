#include "platform/linux/wayland/wayland_connection.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>

#include "common/run_time_error.h"
#include "platform/linux/posix/close_signals.h"

namespace slidesaver::linux_platform {

struct WaylandConnection::Seat {
  WaylandConnection* connection = nullptr;
  uint32_t name = 0;
  uint32_t version = 0;
  WaylandOwned<wl_seat> seat = NoObject<wl_seat>();
  WaylandOwned<wl_pointer> pointer = NoObject<wl_pointer>();
  WaylandOwned<wl_keyboard> keyboard = NoObject<wl_keyboard>();
};

namespace {

// Versions whose events the listeners below cover.
constexpr uint32_t kCompositorVersion = 4;  // damage_buffer
constexpr uint32_t kSeatVersion = 5;
constexpr uint32_t kOutputVersion = 2;  // scale, done
constexpr uint32_t kLayerShellVersion = 3;

template <typename T>
T* Bind(wl_registry* registry, uint32_t name, const wl_interface* interface, uint32_t offered,
        uint32_t wanted) {
  return static_cast<T*>(wl_registry_bind(registry, name, interface, std::min(offered, wanted)));
}

const wl_output_listener kOutputListener{
    [](void*, wl_output*, int32_t, int32_t, int32_t, int32_t, int32_t, const char*, const char*,
       int32_t) {},
    [](void* data, wl_output*, uint32_t flags, int32_t width, int32_t height, int32_t) {
      if (!(flags & WL_OUTPUT_MODE_CURRENT)) return;
      auto* output = static_cast<WaylandOutput*>(data);
      output->width = width;
      output->height = height;
    },
    [](void*, wl_output*) {},
    [](void* data, wl_output*, int32_t scale) {
      static_cast<WaylandOutput*>(data)->scale = std::max(scale, 1);
    },
    [](void*, wl_output*, const char*) {},
    [](void*, wl_output*, const char*) {},
};

const xdg_wm_base_listener kWmBaseListener{
    [](void*, xdg_wm_base* base, uint32_t serial) { xdg_wm_base_pong(base, serial); }};

}  // namespace

std::unique_ptr<WaylandConnection> WaylandConnection::Connect(int wake_fd) {
  wl_display* display = wl_display_connect(nullptr);
  if (!display) return nullptr;
  std::unique_ptr<WaylandConnection> connection(new WaylandConnection);
  connection->wake_fd_ = wake_fd;
  connection->display_ = Own(display, wl_display_disconnect);
  connection->registry_ = Own(wl_display_get_registry(display), wl_registry_destroy);
  static const wl_registry_listener listener{OnGlobal, OnGlobalRemove};
  wl_registry_add_listener(connection->registry_.get(), &listener, connection.get());
  connection->Roundtrip();  // the globals
  connection->Roundtrip();  // the outputs' modes and scales, the seats' capabilities
  if (!connection->compositor_ || !connection->shm_ ||
      (!connection->layer_shell_ && !connection->wm_base_)) {
    throw std::runtime_error("the Wayland compositor offers no surfaces a show can use");
  }
  return connection;
}

WaylandConnection::~WaylandConnection() {
  // Every object goes before the connection that carries its destruction.
  seats_.clear();
  outputs_.clear();
  wm_base_.reset();
  layer_shell_.reset();
  shm_.reset();
  compositor_.reset();
  registry_.reset();
  if (display_) wl_display_flush(display_.get());
}

void WaylandConnection::OnGlobal(void* self, wl_registry* registry, uint32_t name,
                                 const char* interface, uint32_t version) {
  auto& connection = *static_cast<WaylandConnection*>(self);
  const std::string_view kind = interface;
  if (kind == wl_compositor_interface.name && !connection.compositor_) {
    if (version < 3) return;  // no buffer scale
    connection.compositor_ = Own(
        Bind<wl_compositor>(registry, name, &wl_compositor_interface, version, kCompositorVersion),
        wl_compositor_destroy);
  } else if (kind == wl_shm_interface.name && !connection.shm_) {
    connection.shm_ =
        Own(Bind<wl_shm>(registry, name, &wl_shm_interface, version, 1), wl_shm_destroy);
  } else if (kind == zwlr_layer_shell_v1_interface.name && !connection.layer_shell_) {
    connection.layer_shell_ = Own(
        Bind<zwlr_layer_shell_v1>(registry, name, &zwlr_layer_shell_v1_interface, version,
                                  kLayerShellVersion),
        version >= 3 ? zwlr_layer_shell_v1_destroy : +[](zwlr_layer_shell_v1* shell) {
          wl_proxy_destroy(reinterpret_cast<wl_proxy*>(shell));
        });
  } else if (kind == xdg_wm_base_interface.name && !connection.wm_base_) {
    connection.wm_base_ = Own(Bind<xdg_wm_base>(registry, name, &xdg_wm_base_interface, version, 1),
                              xdg_wm_base_destroy);
    xdg_wm_base_add_listener(connection.wm_base_.get(), &kWmBaseListener, nullptr);
  } else if (kind == wl_output_interface.name) {
    auto output = std::make_unique<WaylandOutput>();
    output->name = name;
    output->output =
        Own(Bind<wl_output>(registry, name, &wl_output_interface, version, kOutputVersion),
            version >= 3 ? wl_output_release : wl_output_destroy);
    wl_output_add_listener(output->output.get(), &kOutputListener, output.get());
    connection.outputs_.push_back(std::move(output));
    if (connection.output_added_) connection.output_added_(*connection.outputs_.back());
  } else if (kind == wl_seat_interface.name) {
    auto seat = std::make_unique<Seat>();
    seat->connection = &connection;
    seat->name = name;
    seat->version = std::min(version, kSeatVersion);
    seat->seat = Own(Bind<wl_seat>(registry, name, &wl_seat_interface, version, kSeatVersion),
                     seat->version >= 5 ? wl_seat_release : wl_seat_destroy);
    static const wl_seat_listener seat_listener{[](void* data, wl_seat*, uint32_t capabilities) {
                                                  auto& seat = *static_cast<Seat*>(data);
                                                  seat.connection->SeatCapabilities(seat,
                                                                                    capabilities);
                                                },
                                                [](void*, wl_seat*, const char*) {}};
    wl_seat_add_listener(seat->seat.get(), &seat_listener, seat.get());
    connection.seats_.push_back(std::move(seat));
  }
}

void WaylandConnection::OnGlobalRemove(void* self, wl_registry*, uint32_t name) {
  auto& connection = *static_cast<WaylandConnection*>(self);
  std::erase_if(connection.seats_, [&](const auto& seat) {
    if (seat->name != name) return false;
    if (seat->pointer && connection.input_) connection.input_->PointerLeft(nullptr);
    return true;
  });
  // An output that goes keeps its object: surfaces on it hear of it through their own closing.
}

void WaylandConnection::SeatCapabilities(Seat& seat, uint32_t capabilities) {
  static const wl_pointer_listener pointer_listener{
      [](void* data, wl_pointer* pointer, uint32_t serial, wl_surface* surface, wl_fixed_t x,
         wl_fixed_t y) {
        auto* input = static_cast<WaylandConnection*>(data)->input_;
        if (input && surface) {
          input->PointerEntered(pointer, serial, surface, wl_fixed_to_double(x),
                                wl_fixed_to_double(y));
        }
      },
      [](void* data, wl_pointer*, uint32_t, wl_surface* surface) {
        auto* input = static_cast<WaylandConnection*>(data)->input_;
        if (input && surface) input->PointerLeft(surface);
      },
      [](void* data, wl_pointer*, uint32_t, wl_fixed_t x, wl_fixed_t y) {
        auto* input = static_cast<WaylandConnection*>(data)->input_;
        if (input) input->PointerMoved(wl_fixed_to_double(x), wl_fixed_to_double(y));
      },
      [](void* data, wl_pointer*, uint32_t, uint32_t, uint32_t, uint32_t state) {
        auto* input = static_cast<WaylandConnection*>(data)->input_;
        if (input && state == WL_POINTER_BUTTON_STATE_PRESSED) input->ButtonPressed();
      },
      // A wheel turned: a button on X11, so here too.
      [](void* data, wl_pointer*, uint32_t, uint32_t, wl_fixed_t) {
        auto* input = static_cast<WaylandConnection*>(data)->input_;
        if (input) input->ButtonPressed();
      },
      [](void*, wl_pointer*) {},
      [](void*, wl_pointer*, uint32_t) {},
      [](void*, wl_pointer*, uint32_t, uint32_t) {},
      [](void*, wl_pointer*, uint32_t, int32_t) {},
      [](void*, wl_pointer*, uint32_t, int32_t) {},
  };
  static const wl_keyboard_listener keyboard_listener{
      // The keymap is not needed: its file is closed unread.
      [](void*, wl_keyboard*, uint32_t, int32_t fd, uint32_t) { close(fd); },
      [](void*, wl_keyboard*, uint32_t, wl_surface*, wl_array*) {},
      [](void*, wl_keyboard*, uint32_t, wl_surface*) {},
      [](void* data, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t state) {
        auto* input = static_cast<WaylandConnection*>(data)->input_;
        if (input && state == WL_KEYBOARD_KEY_STATE_PRESSED) input->KeyPressed();
      },
      [](void*, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) {},
      [](void*, wl_keyboard*, int32_t, int32_t) {},
  };
  const bool release = seat.version >= 3;
  const bool has_pointer = capabilities & WL_SEAT_CAPABILITY_POINTER;
  const bool has_keyboard = capabilities & WL_SEAT_CAPABILITY_KEYBOARD;
  if (has_pointer && !seat.pointer) {
    seat.pointer = Own(wl_seat_get_pointer(seat.seat.get()),
                       release ? wl_pointer_release : wl_pointer_destroy);
    wl_pointer_add_listener(seat.pointer.get(), &pointer_listener, this);
  } else if (!has_pointer && seat.pointer) {
    if (input_) input_->PointerLeft(nullptr);
    seat.pointer.reset();
  }
  if (has_keyboard && !seat.keyboard) {
    seat.keyboard = Own(wl_seat_get_keyboard(seat.seat.get()),
                        release ? wl_keyboard_release : wl_keyboard_destroy);
    wl_keyboard_add_listener(seat.keyboard.get(), &keyboard_listener, this);
  } else if (!has_keyboard && seat.keyboard) {
    seat.keyboard.reset();
  }
}

void WaylandConnection::Check() {
  const int error = wl_display_get_error(display_.get());
  if (error == 0) return;
  if (CloseSignalReceived()) throw ProcessExit{0};
  // A failure, not the show's end: the process says so and ends as on the X server's end.
  std::fprintf(stderr, "slidesaver: the Wayland compositor closed the connection: %s\n",
               std::strerror(error));
  throw ProcessExit{1};
}

void WaylandConnection::Dispatch() {
  wl_display* display = display_.get();
  while (wl_display_prepare_read(display) != 0) wl_display_dispatch_pending(display);
  wl_display_flush(display);
  pollfd ready{wl_display_get_fd(display), POLLIN, 0};
  if (poll(&ready, 1, 0) > 0) {
    wl_display_read_events(display);
  } else {
    wl_display_cancel_read(display);
  }
  wl_display_dispatch_pending(display);
  Check();
}

void WaylandConnection::Wait(std::optional<std::chrono::steady_clock::time_point> until,
                             int wake_fd) {
  wl_display* display = display_.get();
  while (wl_display_prepare_read(display) != 0) wl_display_dispatch_pending(display);
  wl_display_flush(display);
  timespec timeout{};
  if (until) {
    // Compared before subtracting: `until` may be long past (time_point::min: due at once).
    const auto now = std::chrono::steady_clock::now();
    const auto left = *until > now ? *until - now : std::chrono::steady_clock::duration::zero();
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(left);
    timeout = {static_cast<time_t>(seconds.count()),
               static_cast<long>((left - seconds) / std::chrono::nanoseconds(1))};
  }
  pollfd ready[2] = {{wl_display_get_fd(display), POLLIN, 0}, {wake_fd, POLLIN, 0}};
  const int count = ppoll(ready, wake_fd >= 0 ? 2 : 1, until ? &timeout : nullptr, nullptr);
  if (count > 0 && (ready[0].revents & (POLLIN | POLLERR | POLLHUP))) {
    wl_display_read_events(display);
  } else {
    wl_display_cancel_read(display);
  }
}

void WaylandConnection::Roundtrip() {
  bool done = false;
  static const wl_callback_listener listener{
      [](void* data, wl_callback*, uint32_t) { *static_cast<bool*>(data) = true; }};
  const WaylandOwned<wl_callback> sync = Own(wl_display_sync(display_.get()), wl_callback_destroy);
  wl_callback_add_listener(sync.get(), &listener, &done);
  while (!done) {
    Wait(std::nullopt, wake_fd_);
    if (CloseSignalReceived()) throw ProcessExit{0};
    // Another thread's wake-up: its news is read where it is awaited (SDL's queue), so the
    // descriptor is only emptied here, lest the wait turn into a spin.
    uint64_t wake_ups = 0;
    if (wake_fd_ >= 0) [[maybe_unused]]
      const ssize_t got = read(wake_fd_, &wake_ups, sizeof wake_ups);
    Dispatch();
  }
}

}  // namespace slidesaver::linux_platform

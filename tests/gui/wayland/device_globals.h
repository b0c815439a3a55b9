// What the tests' virtual input devices bind from the compositor: the manager of such devices
// (at a version it must offer) and the first seat; and the time their events carry.
#pragma once

#include <wayland-client.h>

#include <cstdint>
#include <cstring>
#include <ctime>

namespace device_globals {

template <class Manager>
struct Globals {
  const wl_interface* manager_interface;
  uint32_t version;
  Manager* manager = nullptr;  // null when not offered at `version`
  wl_seat* seat = nullptr;
  wl_registry* registry = nullptr;
};

template <class Manager>
Globals<Manager> Bind(wl_display* display, const wl_interface& manager_interface,
                      uint32_t version) {
  static constexpr wl_registry_listener listener{
      [](void* data, wl_registry* registry, uint32_t name, const char* interface,
         uint32_t offered) {
        auto* globals = static_cast<Globals<Manager>*>(data);
        if (std::strcmp(interface, globals->manager_interface->name) == 0 &&
            offered >= globals->version) {
          globals->manager = static_cast<Manager*>(
              wl_registry_bind(registry, name, globals->manager_interface, globals->version));
        } else if (std::strcmp(interface, wl_seat_interface.name) == 0 && !globals->seat) {
          globals->seat =
              static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
        }
      },
      [](void*, wl_registry*, uint32_t) {}};
  Globals<Manager> globals{&manager_interface, version};
  globals.registry = wl_display_get_registry(display);
  wl_registry_add_listener(globals.registry, &listener, &globals);
  wl_display_roundtrip(display);
  return globals;
}

// Ends what Bind bound (the manager by the caller's own destroy request) and the connection.
template <class Manager>
void Disconnect(wl_display* display, Globals<Manager>& globals) {
  if (globals.seat) wl_seat_destroy(globals.seat);
  wl_registry_destroy(globals.registry);
  wl_display_roundtrip(display);
  wl_display_disconnect(display);
}

inline uint32_t NowMs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<uint32_t>(now.tv_sec * 1000 + now.tv_nsec / 1000000);
}

}  // namespace device_globals

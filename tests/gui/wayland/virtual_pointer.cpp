// A pointer for tests on a wlroots compositor (sway): a virtual pointer device that makes the
// actions of its command line, in order, and goes away.
//   virtual-pointer ACTION...
//     move X Y W H    the pointer to X,Y of the output layout, which is W x H layout pixels
//     motion DX DY    the pointer by DX,DY
//     click [BUTTON]  press and release BUTTON (a Linux button code, default 272: the left one)
//     press BUTTON | release BUTTON
// Each action is one pointer frame, sent and acknowledged before the next.
//   virtual-pointer -    the same actions, a line of them at a time from standard input
#include <wayland-client.h>

#include <cstdio>
#include <cstring>

#include "device_globals.h"
#include "input_actions.h"
#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

namespace {

int usage() {
  std::fputs(
      "usage: virtual-pointer {move X Y W H | motion DX DY | click [BUTTON] | press BUTTON | "
      "release BUTTON}...\n",
      stderr);
  return 2;
}

// Makes the actions, each one frame that the compositor has handled before the next; 0, or the
// exit status of a failure.
int act(wl_display* display, zwlr_virtual_pointer_v1* pointer, const input_actions::Actions& args) {
  using input_actions::Number;
  constexpr uint32_t max_extent = 1u << 16;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& action = args[i];
    long a = 0;
    long b = 0;
    long w = 0;
    long h = 0;
    if (action == "motion" && i + 2 < args.size() && Number(args[i + 1], a) &&
        Number(args[i + 2], b)) {
      i += 2;
      zwlr_virtual_pointer_v1_motion(pointer, device_globals::NowMs(), wl_fixed_from_int(int(a)),
                                     wl_fixed_from_int(int(b)));
    } else if (action == "move" && i + 4 < args.size() && Number(args[i + 1], a) &&
               Number(args[i + 2], b) && Number(args[i + 3], w) && Number(args[i + 4], h)) {
      i += 4;
      if (a < 0 || b < 0 || a >= w || b >= h || w > long(max_extent) || h > long(max_extent))
        return usage();
      zwlr_virtual_pointer_v1_motion_absolute(pointer, device_globals::NowMs(), uint32_t(a),
                                              uint32_t(b), uint32_t(w), uint32_t(h));
    } else if (action == "click" || action == "press" || action == "release") {
      a = 272;
      if (i + 1 < args.size() && Number(args[i + 1], a))
        ++i;
      else if (action != "click")
        return usage();
      if (action != "release")
        zwlr_virtual_pointer_v1_button(pointer, device_globals::NowMs(), uint32_t(a),
                                       WL_POINTER_BUTTON_STATE_PRESSED);
      if (action != "press")
        zwlr_virtual_pointer_v1_button(pointer, device_globals::NowMs(), uint32_t(a),
                                       WL_POINTER_BUTTON_STATE_RELEASED);
    } else {
      return usage();
    }
    zwlr_virtual_pointer_v1_frame(pointer);
    if (wl_display_roundtrip(display) < 0) {
      std::fputs("virtual-pointer: the compositor closed the connection\n", stderr);
      return 1;
    }
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  wl_display* display = wl_display_connect(nullptr);
  if (display == nullptr) {
    std::fputs("virtual-pointer: no Wayland display\n", stderr);
    return 1;
  }
  auto globals = device_globals::Bind<zwlr_virtual_pointer_manager_v1>(
      display, zwlr_virtual_pointer_manager_v1_interface, 1);
  if (globals.manager == nullptr) {
    std::fputs("virtual-pointer: the compositor offers no virtual pointers\n", stderr);
    return 1;
  }
  zwlr_virtual_pointer_v1* pointer =
      zwlr_virtual_pointer_manager_v1_create_virtual_pointer(globals.manager, globals.seat);

  const int status = input_actions::Run(argc, argv, [&](const input_actions::Actions& actions) {
    return act(display, pointer, actions);
  });
  zwlr_virtual_pointer_v1_destroy(pointer);
  zwlr_virtual_pointer_manager_v1_destroy(globals.manager);
  device_globals::Disconnect(display, globals);
  return status;
}

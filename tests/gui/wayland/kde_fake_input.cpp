// Input for tests on KDE's KWin, through its fake input protocol (org_kde_kwin_fake_input; KWin
// offers it only to clients it trusts, to all with KWIN_WAYLAND_NO_PERMISSION_CHECKS=1): a
// device that makes the actions of its command line, in order, each acknowledged by the
// compositor before the next, and goes away.
//   kde-fake-input ACTION...
//     motion DX DY    the pointer by DX,DY
//     key CODE        press and release a key (a Linux key code, e.g. 57: space)
//     click           press and release the left button
//   kde-fake-input -    the same actions, a line of them at a time from standard input
#include <linux/input-event-codes.h>
#include <wayland-client.h>

#include <cstdio>
#include <cstring>

#include "device_globals.h"
#include "fake-input-client-protocol.h"
#include "input_actions.h"

namespace {

constexpr uint32_t kWantedVersion = 4;  // keyboard_key

int usage() {
  std::fputs("usage: kde-fake-input {motion DX DY | key CODE | click}... | -\n", stderr);
  return 2;
}

int act(wl_display* display, org_kde_kwin_fake_input* input, const input_actions::Actions& args) {
  using input_actions::Number;
  for (size_t i = 0; i < args.size(); ++i) {
    long a = 0;
    long b = 0;
    if (args[i] == "motion" && i + 2 < args.size() && Number(args[i + 1], a) &&
        Number(args[i + 2], b)) {
      i += 2;
      org_kde_kwin_fake_input_pointer_motion(input, wl_fixed_from_int(int(a)),
                                             wl_fixed_from_int(int(b)));
    } else if (args[i] == "key" && i + 1 < args.size() && Number(args[i + 1], a) && a > 0) {
      i += 1;
      org_kde_kwin_fake_input_keyboard_key(input, uint32_t(a), WL_KEYBOARD_KEY_STATE_PRESSED);
      org_kde_kwin_fake_input_keyboard_key(input, uint32_t(a), WL_KEYBOARD_KEY_STATE_RELEASED);
    } else if (args[i] == "click") {
      org_kde_kwin_fake_input_button(input, BTN_LEFT, WL_POINTER_BUTTON_STATE_PRESSED);
      org_kde_kwin_fake_input_button(input, BTN_LEFT, WL_POINTER_BUTTON_STATE_RELEASED);
    } else {
      return usage();
    }
    if (wl_display_roundtrip(display) < 0) {
      std::fputs("kde-fake-input: the compositor closed the connection\n", stderr);
      return 1;
    }
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return usage();
  wl_display* display = wl_display_connect(nullptr);
  if (!display) {
    std::fputs("kde-fake-input: no Wayland display\n", stderr);
    return 1;
  }
  auto globals = device_globals::Bind<org_kde_kwin_fake_input>(
      display, org_kde_kwin_fake_input_interface, kWantedVersion);
  org_kde_kwin_fake_input* input = globals.manager;
  if (!input) {
    std::fputs("kde-fake-input: the compositor offers this client no org_kde_kwin_fake_input 4\n",
               stderr);
    return 1;
  }
  // KWin takes input only from an authenticated device (and grants it to every one asking).
  org_kde_kwin_fake_input_authenticate(input, "slidesaver tests", "input for the show's tests");
  const int status = input_actions::Run(argc, argv, [&](const input_actions::Actions& actions) {
    return act(display, input, actions);
  });
  org_kde_kwin_fake_input_destroy(input);
  device_globals::Disconnect(display, globals);
  return status;
}

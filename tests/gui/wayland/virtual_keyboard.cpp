// A keyboard for tests on a wlroots compositor (sway): a virtual keyboard with the default
// keymap (evdev, pc105, us: the one sway gives a real keyboard) that makes the actions of its
// command line, in order, and goes away. Unlike wtype, whose keymap is made up for the keys it
// types and which exists for milliseconds, a client's key bindings (GTK's Return on a default
// button) see the key codes a real keyboard sends.
//   virtual-keyboard ACTION...
//     type WORD    press and release the keys of WORD's characters (those of the keymap's first
//                  level: lower case letters, digits)
//     key NAME     press and release the key of the keysym NAME (Return, space, BackSpace)
// Each key's press and release are acknowledged by the compositor before the next key.
//   virtual-keyboard -    the same actions, a line of them at a time from standard input
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "device_globals.h"
#include "input_actions.h"
#include "virtual-keyboard-unstable-v1-client-protocol.h"

namespace {

int usage() {
  std::fputs("usage: virtual-keyboard {type WORD | key NAME}... | -\n", stderr);
  return 2;
}

// The evdev code of the key whose first level is `sym`.
std::optional<uint32_t> CodeOf(xkb_keymap* keymap, xkb_keysym_t sym) {
  for (xkb_keycode_t code = xkb_keymap_min_keycode(keymap); code <= xkb_keymap_max_keycode(keymap);
       ++code) {
    const xkb_keysym_t* syms = nullptr;
    if (xkb_keymap_key_get_syms_by_level(keymap, code, 0, 0, &syms) == 1 && syms[0] == sym) {
      return code - 8;  // xkb's key codes are evdev's plus 8
    }
  }
  return std::nullopt;
}

class Keyboard {
 public:
  Keyboard(wl_display* display, zwp_virtual_keyboard_v1* keyboard, xkb_keymap* keymap)
      : display_(display), keyboard_(keyboard), keymap_(keymap) {}

  int Act(const input_actions::Actions& args) {
    if (args.size() % 2 != 0) return usage();
    for (size_t i = 0; i < args.size(); i += 2) {
      const std::string& what = args[i + 1];
      bool known = false;
      if (args[i] == "type") {
        known = true;
        for (const char c : what) {
          known =
              known && Press(CodeOf(keymap_, xkb_utf32_to_keysym(static_cast<unsigned char>(c))));
        }
      } else if (args[i] == "key") {
        known = Press(CodeOf(keymap_, xkb_keysym_from_name(what.c_str(), XKB_KEYSYM_NO_FLAGS)));
      }
      if (!known) return usage();
      if (wl_display_get_error(display_) != 0) {
        std::fputs("virtual-keyboard: the compositor closed the connection\n", stderr);
        return 1;
      }
    }
    return 0;
  }

 private:
  bool Press(std::optional<uint32_t> code) {
    if (!code) return false;
    for (const auto state : {WL_KEYBOARD_KEY_STATE_PRESSED, WL_KEYBOARD_KEY_STATE_RELEASED}) {
      zwp_virtual_keyboard_v1_key(keyboard_, device_globals::NowMs(), *code, state);
      wl_display_roundtrip(display_);
    }
    return true;
  }

  wl_display* display_;
  zwp_virtual_keyboard_v1* keyboard_;
  xkb_keymap* keymap_;
};

// The keymap's text in a file the compositor maps; -1 when that fails.
int KeymapFile(const char* text, size_t size) {
  const int fd = memfd_create("keymap", MFD_CLOEXEC);
  if (fd < 0) return -1;
  if (write(fd, text, size) != static_cast<ssize_t>(size)) {
    close(fd);
    return -1;
  }
  return fd;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return usage();
  wl_display* display = wl_display_connect(nullptr);
  if (display == nullptr) {
    std::fputs("virtual-keyboard: no Wayland display\n", stderr);
    return 1;
  }
  auto globals = device_globals::Bind<zwp_virtual_keyboard_manager_v1>(
      display, zwp_virtual_keyboard_manager_v1_interface, 1);
  xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_ENVIRONMENT_NAMES);
  xkb_keymap* keymap =
      context ? xkb_keymap_new_from_names(context, nullptr, XKB_KEYMAP_COMPILE_NO_FLAGS) : nullptr;
  char* text = keymap ? xkb_keymap_get_as_string(keymap, XKB_KEYMAP_FORMAT_TEXT_V1) : nullptr;
  const int fd = text ? KeymapFile(text, std::strlen(text) + 1) : -1;
  int status = 1;
  if (globals.manager == nullptr || globals.seat == nullptr) {
    std::fputs("virtual-keyboard: the compositor offers no virtual keyboards\n", stderr);
  } else if (fd < 0) {
    std::fputs("virtual-keyboard: no default keymap\n", stderr);
  } else {
    zwp_virtual_keyboard_v1* keyboard =
        zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(globals.manager, globals.seat);
    zwp_virtual_keyboard_v1_keymap(keyboard, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd,
                                   static_cast<uint32_t>(std::strlen(text) + 1));
    wl_display_roundtrip(display);
    Keyboard actions(display, keyboard, keymap);
    status = input_actions::Run(
        argc, argv, [&](const input_actions::Actions& args) { return actions.Act(args); });
    zwp_virtual_keyboard_v1_destroy(keyboard);
  }
  if (fd >= 0) close(fd);
  std::free(text);
  xkb_keymap_unref(keymap);
  xkb_context_unref(context);
  if (globals.manager) zwp_virtual_keyboard_manager_v1_destroy(globals.manager);
  device_globals::Disconnect(display, globals);
  return status;
}

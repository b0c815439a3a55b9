#include "platform/linux/x11/foreign_window.h"

#include <X11/Xlib.h>

#include <cstdlib>

#include "platform/linux/x11/x_display.h"

namespace slidesaver::linux_platform {
namespace {

bool g_error_seen = false;

extern "C" int NoteError(Display*, XErrorEvent*) {
  g_error_seen = true;
  return 0;
}

}  // namespace

ForeignWindowLookup FindForeignWindow(bool screen_saver_window, uint32_t window) {
  const XDisplay owned = OpenXDisplay();
  Display* display = owned.get();
  if (!display) return {};
  ForeignWindowLookup lookup{ForeignWindowLookup::Result::Found, window};
  if (screen_saver_window) {
    const char* named = std::getenv("XSCREENSAVER_WINDOW");
    char* end = nullptr;
    const unsigned long id = named ? std::strtoul(named, &end, 0) : 0;
    const bool valid = named && *named && *end == '\0' && id > 0 && id <= 0xFFFFFFFFul;
    lookup.window =
        valid ? static_cast<uint32_t>(id) : static_cast<uint32_t>(DefaultRootWindow(display));
  }
  // Asked on a connection of our own, before the show's, with the errors caught.
  g_error_seen = false;
  XErrorHandler previous = XSetErrorHandler(NoteError);
  XWindowAttributes attributes;
  const Status known = XGetWindowAttributes(display, lookup.window, &attributes);
  XSync(display, False);
  XSetErrorHandler(previous);
  if (!known || g_error_seen) lookup.result = ForeignWindowLookup::Result::NoWindow;
  return lookup;
}

void TolerateForeignWindowErrors() { XSetErrorHandler(NoteError); }

void WatchForeignWindow(void* display, uint32_t window) {
  XSelectInput(static_cast<Display*>(display), window, ExposureMask | StructureNotifyMask);
  XFlush(static_cast<Display*>(display));
}

void SettleForeignWindow(void* display) {
  XErrorHandler previous = XSetErrorHandler(NoteError);
  XSync(static_cast<Display*>(display), False);
  XSetErrorHandler(previous);
}

}  // namespace slidesaver::linux_platform

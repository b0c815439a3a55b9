// A stand-in for the programs that own the password dialogs' parent windows: it opens a plain
// X11 window and, in "verify" mode, asks the real Linux dialogs for the password over it.
//   dialog_host verify   a black full-screen window (the show), then the password check;
//                        prints "window=<id>" first and "result=<n>" at the end
//   dialog_host owner    a small window titled "owner"; prints "window=<id>", stays 2 minutes
//   dialog_host close ID asks window ID to close, as a window manager's close box does
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/linux/linux_platform.h"
#include "tests/gui/x11_close_request.h"

namespace {

Window OpenWindow(Display* display, bool full_screen, const char* title) {
  const int screen = DefaultScreen(display);
  const unsigned width = full_screen ? DisplayWidth(display, screen) : 200;
  const unsigned height = full_screen ? DisplayHeight(display, screen) : 100;
  const Window window =
      XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, width, height, 0,
                          BlackPixel(display, screen), BlackPixel(display, screen));
  XStoreName(display, window, title);
  XSelectInput(display, window, StructureNotifyMask);
  XMapRaised(display, window);
  for (XEvent event;;) {  // on the screen before anyone is told its id
    XNextEvent(display, &event);
    if (event.type == MapNotify) break;
  }
  std::printf("window=%lu\n", window);
  std::fflush(stdout);
  return window;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "close") == 0) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return 2;
    const int status = gui_test::SendCloseRequest(display, std::strtoul(argv[2], nullptr, 0));
    XCloseDisplay(display);
    return status;
  }
  const bool verify = argc == 2 && std::strcmp(argv[1], "verify") == 0;
  const bool owner = argc == 2 && std::strcmp(argv[1], "owner") == 0;
  if (!verify && !owner) {
    std::fprintf(stderr, "usage: %s verify | owner | close WINDOW\n", argv[0]);
    return 2;
  }
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::fprintf(stderr, "%s: no display\n", argv[0]);
    return 2;
  }
  const Window window = OpenWindow(display, verify, verify ? "show" : "owner");
  if (owner) {
    sleep(120);
  } else {
    auto dialogs = slidesaver::linux_platform::MakeLinuxDialogs();
    const int result = dialogs->CheckPassword(static_cast<uint32_t>(window)) ? 1 : 0;
    std::printf("result=%d\n", result);
    std::fflush(stdout);
  }
  XCloseDisplay(display);
  return 0;
}

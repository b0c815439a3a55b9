// A window for the screen-saver program tests to hand to the player, as a screen saver or a
// settings app would.
//   test-window WIDTH HEIGHT X Y   maps a window filled with magenta, prints its id (0x…) and
//                                  then reads commands on stdin: "resize W H", "destroy";
//                                  end of input ends it (its windows go with its connection)
//   test-window --close ID         asks window ID to close (WM_DELETE_WINDOW), as a window
//                                  manager does when its close button is pressed
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include "tests/gui/x11_close_request.h"

int main(int argc, char** argv) {
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::fputs("test-window: no display\n", stderr);
    return 1;
  }
  if (argc == 3 && std::strcmp(argv[1], "--close") == 0) {
    return gui_test::SendCloseRequest(display, std::strtoul(argv[2], nullptr, 0));
  }
  if (argc != 5) {
    std::fputs("usage: test-window WIDTH HEIGHT X Y | --close ID\n", stderr);
    return 2;
  }
  const int screen = DefaultScreen(display);
  XSetWindowAttributes attributes{};
  attributes.background_pixel = 0xFF00FF;
  attributes.override_redirect = True;  // placed where asked, with or without a window manager
  const Window window = XCreateWindow(
      display, RootWindow(display, screen), std::atoi(argv[3]), std::atoi(argv[4]),
      std::atoi(argv[1]), std::atoi(argv[2]), 0, DefaultDepth(display, screen), InputOutput,
      DefaultVisual(display, screen), CWBackPixel | CWOverrideRedirect, &attributes);
  XSelectInput(display, window, StructureNotifyMask);
  XMapWindow(display, window);
  for (XEvent event; XNextEvent(display, &event), event.type != MapNotify;) {
  }
  std::printf("0x%lx\n", window);
  std::fflush(stdout);
  std::string command;
  while (std::cin >> command) {
    if (command == "resize") {
      unsigned width = 0, height = 0;
      std::cin >> width >> height;
      XResizeWindow(display, window, width, height);
    } else if (command == "destroy") {
      XDestroyWindow(display, window);
    }
    XSync(display, False);
    std::printf("done\n");
    std::fflush(stdout);
  }
  XCloseDisplay(display);
  return 0;
}

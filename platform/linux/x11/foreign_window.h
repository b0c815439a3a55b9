#pragma once
// A window of another program that the show draws into: an X screen saver's window, a settings
// app's preview, or the root window.
#include <cstdint>

namespace slidesaver::linux_platform {

struct ForeignWindowLookup {
  enum class Result { Found, NoDisplay, NoWindow };
  Result result = Result::NoDisplay;
  uint32_t window = 0;
};

// With `screen_saver_window`: the window XSCREENSAVER_WINDOW names (decimal or 0x-hexadecimal),
// else the root window of the default screen. Otherwise `window`, which the X server must know.
ForeignWindowLookup FindForeignWindow(bool screen_saver_window, uint32_t window);

// From now on an X error (such as drawing into the window after its owner destroyed it) ends
// nothing: the destruction comes as an event. Xlib's own handler would end the process before
// its clean-up.
void TolerateForeignWindowErrors();

// On the show's own X connection (an Xlib Display*): asks for the window's exposures and its
// structure changes (a new size, its destruction) and for no input, so that the program that
// owns the window keeps the keyboard and the pointer.
void WatchForeignWindow(void* display, uint32_t window);

// Waits until the X server has answered every request made so far on the connection, its
// errors (from letting go of a window that has gone) ending nothing. Before the connection goes.
void SettleForeignWindow(void* display);

}  // namespace slidesaver::linux_platform

#pragma once
// What every GTK dialog of the player needs: a lazily started GTK, focus without a window
// manager, a parent window given as an X11 id, and a modal loop.
#include <gtk/gtk.h>

#include <cstdint>

namespace slidesaver::linux_platform {

// Starts GTK on first use (X11 preferred, so that the show's X11 windows can be parents).
// False, after a line on stderr, when no display can be opened.
bool StartGtk();
// Starts GTK as StartGtk does, saying nothing when no display can be opened.
bool GtkDisplayOpens();

// Gives the window the keyboard focus as soon as it is on the screen; also works when no
// window manager runs. With `grab_keyboard` the window keeps the keyboard while it is shown.
// On Wayland the focus is asked for once, when the window first appears.
void FocusWhenMapped(GtkWindow* window, bool grab_keyboard);

// Keeps the window above a full-screen window of the show: on X11 above every other window; on
// Wayland an overlay layer surface holding the keyboard, where the compositor offers layer-shell.
// Call before the window is shown.
void KeepAboveFullScreen(GtkWindow* window);

// Makes the window a transient of the X11 window `xid` when such a window exists.
// Call before the window is shown.
void SetTransientForX11Window(GtkWindow* window, uint32_t xid);

// A nested main loop for one modal dialog: Run returns after Quit, or when a close signal asks
// the process to end (the dialog then ends as if cancelled).
class ModalLoop {
 public:
  ModalLoop();
  ~ModalLoop();
  ModalLoop(const ModalLoop&) = delete;
  ModalLoop& operator=(const ModalLoop&) = delete;

  void Run();
  void Quit();

 private:
  GMainLoop* loop_;
};

// Destroys the window and lets the display see it go before the caller carries on.
void DestroyAndFlush(GtkWidget* window);

}  // namespace slidesaver::linux_platform

#include "platform/linux/gtk/gtk_support.h"

#include <gdk/gdkwayland.h>
#include <gdk/gdkx.h>
#include <gtk-layer-shell.h>

#include <cstdio>

#include "platform/linux/dialog_over_show.h"
#include "platform/linux/posix/close_signals.h"

namespace slidesaver::linux_platform {
namespace {

gboolean TakeFocus(GtkWidget* widget, GdkEvent*, gpointer grab_keyboard) {
  GdkWindow* window = gtk_widget_get_window(widget);
  // Without a window manager the X server's focus stays where it was: ask for it directly.
  gdk_window_focus(window, gtk_get_current_event_time());
  gtk_window_present(GTK_WINDOW(widget));
  if (grab_keyboard) {
    GdkSeat* seat = gdk_display_get_default_seat(gtk_widget_get_display(widget));
    gdk_seat_grab(seat, window, GDK_SEAT_CAPABILITY_KEYBOARD, TRUE, nullptr, nullptr, nullptr,
                  nullptr);  // without the grab the dialog still works with the focus alone
  }
  return FALSE;
}

// On Wayland the compositor gives a new window the focus itself, and every focus request is an
// activation token's round trip that maps the window anew: asked for on every map, it never ends.
// There it is asked for once.
gboolean TakeFocusOnce(GtkWidget* widget, GdkEvent*, gpointer) {
  g_signal_handlers_disconnect_by_func(widget, reinterpret_cast<gpointer>(TakeFocusOnce), nullptr);
  gtk_window_present(GTK_WINDOW(widget));
  return FALSE;
}

bool OnWayland(GtkWidget* widget) { return GDK_IS_WAYLAND_DISPLAY(gtk_widget_get_display(widget)); }

void ReleaseKeyboard(GtkWidget* widget, gpointer) {
  gdk_seat_ungrab(gdk_display_get_default_seat(gtk_widget_get_display(widget)));
}

// Once the compositor has the dialog's layer surface (the round trip), the show hears of it.
gboolean TellShowOnMap(GtkWidget* widget, GdkEvent*, gpointer) {
  g_signal_handlers_disconnect_by_func(widget, reinterpret_cast<gpointer>(TellShowOnMap), nullptr);
  gdk_display_sync(gtk_widget_get_display(widget));
  DialogOverShowAppeared();
  return FALSE;
}

void SetTransientOnRealize(GtkWidget* widget, gpointer parent) {
  gdk_window_set_transient_for(gtk_widget_get_window(widget), GDK_WINDOW(parent));
}

}  // namespace

bool GtkDisplayOpens() {
  static const bool opened = [] {
    gdk_set_allowed_backends("x11,*");
    return gtk_init_check(nullptr, nullptr) != FALSE;
  }();
  return opened;
}

bool StartGtk() {
  static const bool started = [] {
    if (GtkDisplayOpens()) return true;
    std::fputs("slidesaver: cannot open the display for a dialog\n", stderr);
    return false;
  }();
  return started;
}

void FocusWhenMapped(GtkWindow* window, bool grab_keyboard) {
  if (OnWayland(GTK_WIDGET(window))) {
    // A keyboard grab is the layer surface's exclusive keyboard there (KeepAboveFullScreen).
    g_signal_connect(window, "map-event", G_CALLBACK(TakeFocusOnce), nullptr);
    return;
  }
  g_signal_connect(window, "map-event", G_CALLBACK(TakeFocus),
                   GINT_TO_POINTER(grab_keyboard ? 1 : 0));
  if (grab_keyboard) g_signal_connect(window, "unmap", G_CALLBACK(ReleaseKeyboard), nullptr);
}

void KeepAboveFullScreen(GtkWindow* window) {
  if (!OnWayland(GTK_WIDGET(window))) {
    gtk_window_set_keep_above(window, TRUE);
    return;
  }
  // A Wayland client cannot raise its window over another client's full-screen window: an
  // overlay layer surface, centred on the output, is drawn above it and keeps the keyboard.
  if (!gtk_layer_is_supported()) return;
  gtk_layer_init_for_window(window);
  gtk_layer_set_namespace(window, "slidesaver-dialog");
  gtk_layer_set_layer(window, GTK_LAYER_SHELL_LAYER_OVERLAY);
  gtk_layer_set_keyboard_mode(window, GTK_LAYER_SHELL_KEYBOARD_MODE_EXCLUSIVE);
  g_signal_connect(window, "map-event", G_CALLBACK(TellShowOnMap), nullptr);
}

void SetTransientForX11Window(GtkWindow* window, uint32_t xid) {
  GdkDisplay* display = gtk_widget_get_display(GTK_WIDGET(window));
  if (xid == 0 || !GDK_IS_X11_DISPLAY(display)) return;
  // Null when no such window exists (the id is checked with the X server).
  GdkWindow* parent = gdk_x11_window_foreign_new_for_display(display, xid);
  if (!parent) return;
  g_signal_connect_data(
      window, "realize", G_CALLBACK(SetTransientOnRealize), parent,
      [](gpointer data, GClosure*) { g_object_unref(data); }, GConnectFlags{});
}

ModalLoop::ModalLoop() : loop_(g_main_loop_new(nullptr, FALSE)) {}
ModalLoop::~ModalLoop() { g_main_loop_unref(loop_); }

void ModalLoop::Run() {
  // The listener runs on another thread: it only asks the loop's own thread to quit, through
  // an idle call that keeps the loop alive until it has run. At GDK's own priority: a higher one
  // skips the check of GDK's Wayland source after its prepared read, and the next round trip
  // (DestroyAndFlush) then waits for that read for ever.
  const CloseSignalListener close_signals([loop = loop_] {
    g_idle_add_full(
        G_PRIORITY_DEFAULT,
        [](gpointer data) {
          g_main_loop_quit(static_cast<GMainLoop*>(data));
          return G_SOURCE_REMOVE;
        },
        g_main_loop_ref(loop),
        [](gpointer data) { g_main_loop_unref(static_cast<GMainLoop*>(data)); });
  });
  g_main_loop_run(loop_);
}

void ModalLoop::Quit() { g_main_loop_quit(loop_); }

void DestroyAndFlush(GtkWidget* window) {
  gtk_widget_destroy(window);
  gdk_display_sync(gdk_display_get_default());
  while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
}

}  // namespace slidesaver::linux_platform

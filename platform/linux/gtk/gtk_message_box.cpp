// Message boxes on Linux: a GTK 3 message dialog, or standard error without a display.
#include "platform/linux/gtk/gtk_message_box.h"

#include "platform/linux/gtk/gtk_support.h"

#include <gtk/gtk.h>

#include <cstdio>

namespace slidesaver::linux_platform {
namespace {

// GTK shows UTF-8 only. The system's own texts are UTF-8; a text that isn't (a name from a
// Package made in the Japanese code page) is converted, or its bad bytes replaced.
std::string AsUtf8(const std::string& text) {
  if (g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr)) return text;
  gsize written = 0;
  if (gchar* converted = g_convert(text.data(), static_cast<gssize>(text.size()), "UTF-8", "CP932",
                                   nullptr, &written, nullptr)) {
    std::string result(converted, written);
    g_free(converted);
    return result;
  }
  gchar* valid = g_utf8_make_valid(text.data(), static_cast<gssize>(text.size()));
  std::string result(valid);
  g_free(valid);
  return result;
}

}  // namespace

void MessageToStandardError(const std::string& text, const std::string& title) {
  std::fprintf(stderr, "%s: %s\n", AsUtf8(title).c_str(), AsUtf8(text).c_str());
}

void GtkMessageBox(const std::string& text, const std::string& title, platform::MessageIcon icon) {
  if (!StartGtk()) {
    MessageToStandardError(text, title);
    return;
  }
  const std::string utf8_text = AsUtf8(text);
  const std::string utf8_title = AsUtf8(title);
  GtkWidget* dialog = gtk_message_dialog_new(
      nullptr, GTK_DIALOG_MODAL,
      icon == platform::MessageIcon::Warning ? GTK_MESSAGE_WARNING : GTK_MESSAGE_INFO,
      GTK_BUTTONS_OK, "%s", utf8_text.c_str());
  gtk_window_set_title(GTK_WINDOW(dialog), utf8_title.c_str());
  gtk_window_set_position(GTK_WINDOW(dialog), GTK_WIN_POS_CENTER);
  gtk_window_set_keep_above(GTK_WINDOW(dialog), TRUE);
  FocusWhenMapped(GTK_WINDOW(dialog), false);
  ModalLoop loop;
  g_signal_connect_swapped(dialog, "response", G_CALLBACK(+[](ModalLoop* modal) { modal->Quit(); }),
                           &loop);
  gtk_widget_show(dialog);
  loop.Run();
  DestroyAndFlush(dialog);
}

}  // namespace slidesaver::linux_platform

#include "platform/linux/gtk/gtk_settings_dialog.h"

#include <array>
#include <cstdio>
#include <exception>

#include "common/run_time_error.h"
#include "platform/linux/gtk/gtk_support.h"

namespace slidesaver::linux_platform {
namespace {

// The form is laid out in twips, at 15 twips to the pixel.
constexpr int kTwipsPerPixel = 15;
struct Twips {
  int left, top, width, height;
};
constexpr Twips kClientArea{0, 0, 4455, 2070};
constexpr std::array<Twips, 2> kFrames{{{120, 120, 2535, 855}, {120, 1080, 2535, 855}}};
// Option buttons ON and OFF, relative to their frame.
constexpr std::array<Twips, 2> kOptionsInFrame{{{240, 360, 855, 255}, {1320, 360, 855, 255}}};
constexpr std::array<Twips, 2> kButtons{{{2880, 240, 1455, 330}, {2880, 630, 1455, 330}}};
constexpr std::array<const char*, 2> kFrameCaptions{"BGM", "Sound"};
constexpr std::array<const char*, 2> kOptionCaptions{"ON", "OFF"};
constexpr std::array<const char*, 2> kButtonCaptions{"OK", "キャンセル"};

constexpr int Pixels(int twips) { return twips / kTwipsPerPixel; }

// Theme sizes shrunk to the form's small, fixed controls; scoped to this window only.
constexpr const char* kStyle = R"(
window.slidesaver-settings, window.slidesaver-settings * { font-size: 9pt; }
window.slidesaver-settings button { min-height: 0; min-width: 0; padding: 0 4px; }
window.slidesaver-settings radiobutton { min-height: 0; padding: 0; }
window.slidesaver-settings radiobutton radio { min-width: 12px; min-height: 12px; margin: 0 4px 0 0; }
window.slidesaver-settings frame > label { margin: 0 2px 0 6px; }
)";

struct SettingsView {
  explicit SettingsView(FrmSetting& shown) : form(shown) {}

  FrmSetting& form;
  GtkWidget* window = nullptr;
  std::array<GtkWidget*, FrmSetting::kOptionCount> options{};
  ModalLoop loop;
  std::exception_ptr failure;
  bool reflecting = false;  // set while the view copies the form's state into the buttons

  void ReflectForm() {
    reflecting = true;
    for (int i = 0; i < FrmSetting::kOptionCount; ++i)
      gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(options[static_cast<size_t>(i)]),
                                   form.Option1(i));
    reflecting = false;
  }

  // Runs a handler of the form; exceptions must not cross GTK's C frames, so one ends the
  // loop and is rethrown once the loop has returned.
  template <typename Handler>
  void Call(Handler handler) {
    try {
      handler();
    } catch (...) {
      failure = std::current_exception();
      loop.Quit();
      return;
    }
    if (!form.Visible()) loop.Quit();
  }

  void Close() {
    Call([this] { form.Hide(); });  // the close box writes nothing
  }
};

void InstallStyle() {
  static bool installed = false;
  if (installed) return;
  GtkCssProvider* css = gtk_css_provider_new();
  gtk_css_provider_load_from_data(css, kStyle, -1, nullptr);
  gtk_style_context_add_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(css),
                                            GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  g_object_unref(css);
  installed = true;
}

void Place(GtkFixed* fixed, GtkWidget* widget, const Twips& at, int origin_left = 0,
           int origin_top = 0) {
  gtk_widget_set_size_request(widget, Pixels(at.width), Pixels(at.height));
  gtk_fixed_put(fixed, widget, Pixels(origin_left + at.left), Pixels(origin_top + at.top));
}

int IndexOf(GtkWidget* widget) {
  return GPOINTER_TO_INT(g_object_get_data(G_OBJECT(widget), "slidesaver-index"));
}

void OnOptionToggled(GtkToggleButton* button, gpointer data) {
  auto* view = static_cast<SettingsView*>(data);
  if (view->reflecting || !gtk_toggle_button_get_active(button)) return;
  const int index = IndexOf(GTK_WIDGET(button));
  view->Call([view, index] { view->form.SelectOption1(index); });
  view->ReflectForm();
}

void OnButtonClicked(GtkButton* button, gpointer data) {
  auto* view = static_cast<SettingsView*>(data);
  const auto index = static_cast<int16_t>(IndexOf(GTK_WIDGET(button)));
  view->Call([view, index] { view->form.Command1_Click(index); });
}

gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer data) {
  static_cast<SettingsView*>(data)->Close();
  return TRUE;  // the window is destroyed after the loop
}

gboolean OnKeyPress(GtkWidget*, GdkEventKey* event, gpointer data) {
  if (event->keyval != GDK_KEY_Escape) return FALSE;
  static_cast<SettingsView*>(data)->Close();
  return TRUE;
}

GtkWidget* BuildWindow(SettingsView& view) {
  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_title(GTK_WINDOW(window), FrmSetting::kCaption);
  gtk_window_set_resizable(GTK_WINDOW(window), FALSE);
  gtk_window_set_type_hint(GTK_WINDOW(window), GDK_WINDOW_TYPE_HINT_DIALOG);
  gtk_window_set_position(GTK_WINDOW(window), GTK_WIN_POS_CENTER);
  gtk_style_context_add_class(gtk_widget_get_style_context(window), "slidesaver-settings");

  GtkWidget* fixed = gtk_fixed_new();
  gtk_widget_set_size_request(fixed, Pixels(kClientArea.width), Pixels(kClientArea.height));
  gtk_container_add(GTK_CONTAINER(window), fixed);

  // The option buttons sit on the form at their frame's offset, so that each keeps its exact
  // place whatever the theme's frame border and caption take up.
  GList* tab_order = nullptr;
  for (size_t group = 0; group < kFrames.size(); ++group) {
    GtkWidget* frame = gtk_frame_new(kFrameCaptions[group]);
    Place(GTK_FIXED(fixed), frame, kFrames[group]);
    GtkWidget* previous = nullptr;
    for (size_t choice = 0; choice < kOptionsInFrame.size(); ++choice) {
      GtkWidget* option = gtk_radio_button_new_with_label_from_widget(
          previous ? GTK_RADIO_BUTTON(previous) : nullptr, kOptionCaptions[choice]);
      const size_t index = group * kOptionsInFrame.size() + choice;
      g_object_set_data(G_OBJECT(option), "slidesaver-index", GINT_TO_POINTER(index));
      Place(GTK_FIXED(fixed), option, kOptionsInFrame[choice], kFrames[group].left,
            kFrames[group].top);
      view.options[index] = option;
      tab_order = g_list_append(tab_order, option);
      previous = option;
    }
  }
  for (size_t i = 0; i < kButtons.size(); ++i) {
    GtkWidget* button = gtk_button_new_with_label(kButtonCaptions[i]);
    g_object_set_data(G_OBJECT(button), "slidesaver-index", GINT_TO_POINTER(i));
    Place(GTK_FIXED(fixed), button, kButtons[i]);
    g_signal_connect(button, "clicked", G_CALLBACK(OnButtonClicked), &view);
    tab_order = g_list_append(tab_order, button);
  }
  // Tab follows the form's order (music choice, sound choice, OK, キャンセル) rather than the
  // positions on screen; within a group Tab stops at the selected choice only.
  G_GNUC_BEGIN_IGNORE_DEPRECATIONS
  gtk_container_set_focus_chain(GTK_CONTAINER(fixed), tab_order);
  G_GNUC_END_IGNORE_DEPRECATIONS
  g_list_free(tab_order);

  view.window = window;
  view.ReflectForm();
  for (GtkWidget* option : view.options)
    g_signal_connect(option, "toggled", G_CALLBACK(OnOptionToggled), &view);
  g_signal_connect(window, "delete-event", G_CALLBACK(OnDelete), &view);
  g_signal_connect(window, "key-press-event", G_CALLBACK(OnKeyPress), &view);
  return window;
}

}  // namespace

void ShowGtkSettingsDialog(FrmSetting& form) {
  if (!StartGtk()) throw ProcessExit{1};
  InstallStyle();
  SettingsView view{form};
  form.Show();
  GtkWidget* window = BuildWindow(view);
  FocusWhenMapped(GTK_WINDOW(window), false);
  gtk_widget_show_all(window);
  view.loop.Run();
  DestroyAndFlush(window);
  if (view.failure) std::rethrow_exception(view.failure);
}

}  // namespace slidesaver::linux_platform

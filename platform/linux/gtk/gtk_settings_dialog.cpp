#include "platform/linux/gtk/gtk_settings_dialog.h"

#include <exception>
#include <utility>
#include <vector>

#include "common/run_time_error.h"
#include "platform/linux/gtk/gtk_support.h"

namespace slidesaver::linux_platform {
namespace {

// The form is laid out in twips, at 15 twips to the pixel.
constexpr int kTwipsPerPixel = 15;

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
  explicit SettingsView(platform::SettingsDialogModel& shown) : model(shown) {}

  platform::SettingsDialogModel& model;
  GtkWidget* window = nullptr;
  std::vector<std::pair<GtkWidget*, const platform::SettingsControl*>> choices;
  ModalLoop loop;
  std::exception_ptr failure;
  bool reflecting = false;  // set while the view copies the model's state into the buttons

  void ReflectModel() {
    reflecting = true;
    for (const auto& [button, choice] : choices)
      gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(button), model.Selected(*choice));
    reflecting = false;
  }

  // Runs an operation of the model; exceptions must not cross GTK's C frames, so one ends the
  // loop and is rethrown once the loop has returned.
  template <typename Operation>
  void Call(Operation operation) {
    try {
      operation();
    } catch (...) {
      failure = std::current_exception();
      loop.Quit();
      return;
    }
    if (!model.Visible()) loop.Quit();
  }

  void Cancel() {
    Call([this] { model.Cancel(); });
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

void Place(GtkFixed* fixed, GtkWidget* widget, const platform::SettingsControl& control) {
  gtk_widget_set_size_request(widget, Pixels(control.width), Pixels(control.height));
  gtk_fixed_put(fixed, widget, Pixels(control.left), Pixels(control.top));
}

const platform::SettingsControl& ControlOf(GtkWidget* widget) {
  return *static_cast<const platform::SettingsControl*>(
      g_object_get_data(G_OBJECT(widget), "slidesaver-control"));
}

void OnChoiceToggled(GtkToggleButton* button, gpointer data) {
  auto* view = static_cast<SettingsView*>(data);
  if (view->reflecting || !gtk_toggle_button_get_active(button)) return;
  const platform::SettingsControl& choice = ControlOf(GTK_WIDGET(button));
  view->Call([view, &choice] { view->model.Choose(choice); });
  view->ReflectModel();
}

void OnButtonClicked(GtkButton* button, gpointer data) {
  auto* view = static_cast<SettingsView*>(data);
  if (ControlOf(GTK_WIDGET(button)).kind == platform::SettingsControl::Kind::AcceptButton) {
    view->Call([view] { view->model.Accept(); });
  } else {
    view->Cancel();
  }
}

gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer data) {
  static_cast<SettingsView*>(data)->Cancel();
  return TRUE;  // the window is destroyed after the loop
}

gboolean OnKeyPress(GtkWidget*, GdkEventKey* event, gpointer data) {
  if (event->keyval != GDK_KEY_Escape) return FALSE;
  static_cast<SettingsView*>(data)->Cancel();
  return TRUE;
}

GtkWidget* BuildWindow(SettingsView& view) {
  const platform::SettingsDialogLayout& layout = view.model.Layout();
  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_title(GTK_WINDOW(window), layout.title);
  gtk_window_set_resizable(GTK_WINDOW(window), FALSE);
  gtk_window_set_type_hint(GTK_WINDOW(window), GDK_WINDOW_TYPE_HINT_DIALOG);
  gtk_window_set_position(GTK_WINDOW(window), GTK_WIN_POS_CENTER);
  gtk_style_context_add_class(gtk_widget_get_style_context(window), "slidesaver-settings");

  GtkWidget* fixed = gtk_fixed_new();
  gtk_widget_set_size_request(fixed, Pixels(layout.client_width), Pixels(layout.client_height));
  gtk_container_add(GTK_CONTAINER(window), fixed);

  // The choices sit on the form itself, not inside their frame widget, so that each keeps its
  // exact place whatever the theme's frame border and caption take up.
  GList* tab_order = nullptr;
  GtkWidget* group = nullptr;  // the previous choice of the current frame
  for (const platform::SettingsControl& control : layout.controls) {
    GtkWidget* widget = nullptr;
    switch (control.kind) {
      case platform::SettingsControl::Kind::Frame:
        widget = gtk_frame_new(control.caption);
        group = nullptr;
        break;
      case platform::SettingsControl::Kind::Choice:
        widget = gtk_radio_button_new_with_label_from_widget(
            group ? GTK_RADIO_BUTTON(group) : nullptr, control.caption);
        view.choices.emplace_back(widget, &control);
        tab_order = g_list_append(tab_order, widget);
        group = widget;
        break;
      case platform::SettingsControl::Kind::AcceptButton:
      case platform::SettingsControl::Kind::CancelButton:
        widget = gtk_button_new_with_label(control.caption);
        g_signal_connect(widget, "clicked", G_CALLBACK(OnButtonClicked), &view);
        tab_order = g_list_append(tab_order, widget);
        break;
    }
    g_object_set_data(G_OBJECT(widget), "slidesaver-control",
                      const_cast<platform::SettingsControl*>(&control));
    Place(GTK_FIXED(fixed), widget, control);
  }
  // Tab follows the form's order (music choice, sound choice, OK, キャンセル) rather than the
  // positions on screen; within a group Tab stops at the selected choice only.
  G_GNUC_BEGIN_IGNORE_DEPRECATIONS
  gtk_container_set_focus_chain(GTK_CONTAINER(fixed), tab_order);
  G_GNUC_END_IGNORE_DEPRECATIONS
  g_list_free(tab_order);

  view.window = window;
  view.ReflectModel();
  for (const auto& [button, choice] : view.choices)
    g_signal_connect(button, "toggled", G_CALLBACK(OnChoiceToggled), &view);
  g_signal_connect(window, "delete-event", G_CALLBACK(OnDelete), &view);
  g_signal_connect(window, "key-press-event", G_CALLBACK(OnKeyPress), &view);
  return window;
}

}  // namespace

void ShowGtkSettingsDialog(platform::SettingsDialogModel& settings) {
  if (!StartGtk()) throw ProcessExit{1};
  InstallStyle();
  SettingsView view{settings};
  GtkWidget* window = BuildWindow(view);
  FocusWhenMapped(GTK_WINDOW(window), false);
  gtk_widget_show_all(window);
  view.loop.Run();
  DestroyAndFlush(window);
  if (view.failure) std::rethrow_exception(view.failure);
}

}  // namespace slidesaver::linux_platform

#include "platform/linux/gtk/gtk_password_dialogs.h"

#include <cstdio>
#include <exception>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/linux/gtk/gtk_support.h"
#include "platform/linux/password_change.h"

namespace slidesaver::linux_platform {
namespace {

constexpr const char* kChangeTitle = "パスワードの変更";
constexpr const char* kVerifyTitle = "スクリーン セーバー";
constexpr const char* kCurrentLabel = "現在のパスワード:";
constexpr const char* kNewLabel = "新しいパスワード:";
constexpr const char* kConfirmLabel = "新しいパスワードの確認入力:";
constexpr const char* kPasswordLabel = "パスワード:";
constexpr const char* kVerifyText =
    "スクリーン セーバーを終了するには、パスワードを入力してください。";
constexpr int kLongestPassword = 256;  // characters; at most SecretText::kCapacity bytes

// A small dialog: an optional note, rows of password fields, a line for messages, and the
// buttons. Return presses OK; Escape and the close box cancel.
class PasswordWindow {
 public:
  PasswordWindow(const char* title, const char* note, bool with_cancel) {
    window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(window_), title);
    gtk_window_set_resizable(GTK_WINDOW(window_), FALSE);
    gtk_window_set_type_hint(GTK_WINDOW(window_), GDK_WINDOW_TYPE_HINT_DIALOG);
    gtk_window_set_position(GTK_WINDOW(window_), GTK_WIN_POS_CENTER);
    gtk_window_set_modal(GTK_WINDOW(window_), TRUE);

    GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 10);
    gtk_container_set_border_width(GTK_CONTAINER(box), 12);
    gtk_container_add(GTK_CONTAINER(window_), box);
    if (note) gtk_box_pack_start(GTK_BOX(box), WrappedLabel(note), FALSE, FALSE, 0);
    grid_ = gtk_grid_new();
    gtk_grid_set_row_spacing(GTK_GRID(grid_), 6);
    gtk_grid_set_column_spacing(GTK_GRID(grid_), 8);
    gtk_box_pack_start(GTK_BOX(box), grid_, FALSE, FALSE, 0);
    message_ = WrappedLabel("");
    gtk_widget_set_no_show_all(message_, TRUE);  // shown with the first message
    gtk_box_pack_start(GTK_BOX(box), message_, FALSE, FALSE, 0);

    GtkWidget* buttons = gtk_button_box_new(GTK_ORIENTATION_HORIZONTAL);
    gtk_button_box_set_layout(GTK_BUTTON_BOX(buttons), GTK_BUTTONBOX_END);
    gtk_box_set_spacing(GTK_BOX(buttons), 6);
    gtk_box_pack_end(GTK_BOX(box), buttons, FALSE, FALSE, 0);
    GtkWidget* ok = gtk_button_new_with_label("OK");
    gtk_container_add(GTK_CONTAINER(buttons), ok);
    g_signal_connect(ok, "clicked", G_CALLBACK(OnOk), this);
    if (with_cancel) {
      GtkWidget* cancel = gtk_button_new_with_label("キャンセル");
      gtk_container_add(GTK_CONTAINER(buttons), cancel);
      g_signal_connect(cancel, "clicked", G_CALLBACK(OnCancel), this);
    }
    gtk_widget_set_can_default(ok, TRUE);
    gtk_window_set_default(GTK_WINDOW(window_), ok);

    g_signal_connect(window_, "delete-event", G_CALLBACK(OnDelete), this);
    g_signal_connect(window_, "key-press-event", G_CALLBACK(OnKeyPress), this);
  }
  ~PasswordWindow() {
    for (GtkWidget* entry : entries_) gtk_entry_set_text(GTK_ENTRY(entry), "");  // wipes it
    DestroyAndFlush(window_);
  }
  PasswordWindow(const PasswordWindow&) = delete;
  PasswordWindow& operator=(const PasswordWindow&) = delete;

  GtkWindow* Window() { return GTK_WINDOW(window_); }

  // Adds a labelled password field and returns its number.
  size_t AddField(const char* label) {
    GtkWidget* caption = gtk_label_new(label);
    gtk_label_set_xalign(GTK_LABEL(caption), 0);
    GtkWidget* entry = gtk_entry_new();
    gtk_entry_set_visibility(GTK_ENTRY(entry), FALSE);
    gtk_entry_set_input_purpose(GTK_ENTRY(entry), GTK_INPUT_PURPOSE_PASSWORD);
    gtk_entry_set_max_length(GTK_ENTRY(entry), kLongestPassword);
    gtk_entry_set_activates_default(GTK_ENTRY(entry), TRUE);
    gtk_entry_set_width_chars(GTK_ENTRY(entry), 24);
    const int row = static_cast<int>(entries_.size());
    gtk_grid_attach(GTK_GRID(grid_), caption, 0, row, 1, 1);
    gtk_grid_attach(GTK_GRID(grid_), entry, 1, row, 1, 1);
    entries_.push_back(entry);
    return entries_.size() - 1;
  }

  // Copies the field into `secret` and empties the field.
  void Take(size_t field, SecretText& secret) {
    GtkEntryBuffer* buffer = gtk_entry_get_buffer(GTK_ENTRY(entries_[field]));
    secret.Assign(gtk_entry_buffer_get_text(buffer), gtk_entry_buffer_get_bytes(buffer));
    gtk_entry_buffer_delete_text(buffer, 0, -1);
  }
  void Focus(size_t field) { gtk_widget_grab_focus(entries_[field]); }
  void Say(const std::string& text) {
    gtk_label_set_text(GTK_LABEL(message_), text.c_str());
    gtk_widget_show(message_);
  }

  // Shows the window with the focus in the first field; returns whether OK ended it.
  // `on_ok` answers whether the dialog is done; false keeps it open for another try.
  bool Run(std::function<bool(PasswordWindow&)> on_ok) {
    on_ok_ = std::move(on_ok);
    FocusWhenMapped(GTK_WINDOW(window_), keep_above_);
    gtk_widget_show_all(window_);
    if (!entries_.empty()) Focus(0);
    loop_.Run();
    gtk_widget_hide(window_);
    return accepted_;
  }

  // Over a full-screen show: kept above it and holding the keyboard.
  void KeepAbove() {
    keep_above_ = true;
    KeepAboveFullScreen(GTK_WINDOW(window_));
  }

 private:
  static GtkWidget* WrappedLabel(const char* text) {
    GtkWidget* label = gtk_label_new(text);
    gtk_label_set_line_wrap(GTK_LABEL(label), TRUE);
    gtk_label_set_max_width_chars(GTK_LABEL(label), 40);
    gtk_label_set_xalign(GTK_LABEL(label), 0);
    return label;
  }
  static void OnOk(GtkButton*, gpointer data) {
    auto* self = static_cast<PasswordWindow*>(data);
    try {
      if (!self->on_ok_(*self)) return;
    } catch (const std::exception& error) {  // must not cross GTK's C frames
      self->Say(error.what());
      return;
    }
    self->accepted_ = true;
    self->loop_.Quit();
  }
  static void OnCancel(GtkButton*, gpointer data) {
    static_cast<PasswordWindow*>(data)->loop_.Quit();
  }
  static gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer data) {
    static_cast<PasswordWindow*>(data)->loop_.Quit();
    return TRUE;
  }
  static gboolean OnKeyPress(GtkWidget*, GdkEventKey* event, gpointer data) {
    if (event->keyval != GDK_KEY_Escape) return FALSE;
    static_cast<PasswordWindow*>(data)->loop_.Quit();
    return TRUE;
  }

  GtkWidget* window_;
  GtkWidget* grid_;
  GtkWidget* message_;
  std::vector<GtkWidget*> entries_;
  ModalLoop loop_;
  std::function<bool(PasswordWindow&)> on_ok_;
  bool accepted_ = false;
  bool keep_above_ = false;
};

const char* LabelOf(PasswordField field) {
  switch (field) {
    case PasswordField::Current:
      return kCurrentLabel;
    case PasswordField::New:
      return kNewLabel;
    case PasswordField::Confirm:
      break;
  }
  return kConfirmLabel;
}

}  // namespace

int RunChangePasswordDialog(PasswordStore& store, uint32_t owner) {
  if (!StartGtk()) return kPasswordNotChanged;
  PasswordChange change(store);

  PasswordWindow dialog(kChangeTitle, change.Note(), true);
  SetTransientForX11Window(dialog.Window(), owner);
  std::map<PasswordField, size_t> rows;
  for (const PasswordField field : change.Fields()) rows[field] = dialog.AddField(LabelOf(field));

  const bool changed = dialog.Run([&](PasswordWindow& window) {
    const std::optional<PasswordRefusal> refusal = change.Submit(
        [&](PasswordField field, SecretText& secret) { window.Take(rows.at(field), secret); });
    if (!refusal) return true;
    window.Say(refusal->message);
    window.Focus(rows.at(refusal->focus));
    return false;
  });
  return changed ? kPasswordChanged : kPasswordNotChanged;
}

int RunVerifyPasswordDialog(const PasswordStore& store, uint32_t show) {
  const StoredPassword stored = store.State();
  if (stored == StoredPassword::None) return 1;  // nothing to verify
  if (!StartGtk()) return 0;
  if (stored == StoredPassword::Unreadable) {
    // Nothing can be checked against: the user is told so and the show ends. The password of
    // a screen saver was never a lock on the machine, and the user must never be shut in.
    std::fprintf(stderr, "slidesaver: %s (%s)\n", kUnreadablePasswordText, store.Path().c_str());
    PasswordWindow dialog(kVerifyTitle, kUnreadablePasswordText, false);
    SetTransientForX11Window(dialog.Window(), show);
    dialog.KeepAbove();
    dialog.Run([](PasswordWindow&) { return true; });
    return 1;
  }

  SecretText password;
  PasswordWindow dialog(kVerifyTitle, kVerifyText, true);
  SetTransientForX11Window(dialog.Window(), show);
  dialog.KeepAbove();
  const size_t field = dialog.AddField(kPasswordLabel);
  PasswordCheck check = PasswordCheck::Wrong;
  const bool answered = dialog.Run([&](PasswordWindow& window) {
    window.Take(field, password);
    check = store.Check(password);
    password.Clear();
    return true;
  });
  // A file removed meanwhile leaves nothing to verify; one that became unreadable refuses.
  return answered && (check == PasswordCheck::Right || check == PasswordCheck::NoPassword) ? 1 : 0;
}

}  // namespace slidesaver::linux_platform

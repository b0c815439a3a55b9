// The dialogs on Linux (GTK 3). GTK is started only when a dialog is first shown.

#include "platform/linux/gtk/gtk_message_box.h"
#include "platform/linux/gtk/gtk_password_dialogs.h"
#include "platform/linux/gtk/gtk_settings_dialog.h"
#include "platform/linux/gtk/gtk_support.h"
#include "platform/linux/linux_platform.h"
#include "platform/linux/sodium/password_store.h"

namespace slidesaver::linux_platform {
namespace {

class LinuxDialogs : public platform::Dialogs {
 public:
  explicit LinuxDialogs(ShowPlace place)
      : to_standard_error_(place.kind == ShowPlace::Kind::ForeignWindow) {}

  void MessageBox(const std::string& text, const std::string& title,
                  platform::MessageIcon icon) override {
    if (to_standard_error_) {
      MessageToStandardError(text, title);
    } else {
      GtkMessageBox(text, title, icon);
    }
  }
  void ShowSettingsDialog(platform::SettingsDialogModel& settings) override {
    ShowGtkSettingsDialog(settings);
  }
  bool CheckPassword(platform::WindowHandle over) override {
    return RunVerifyPasswordDialog(PasswordStore(PasswordStore::DefaultPath()), over) != 0;
  }
  void ChangePassword(platform::WindowHandle owner) override {
    PasswordStore store(PasswordStore::DefaultPath());
    RunChangePasswordDialog(store, owner);
  }

 private:
  bool to_standard_error_;
};

}  // namespace

std::unique_ptr<platform::Dialogs> MakeLinuxDialogs(ShowPlace place) {
  return std::make_unique<LinuxDialogs>(place);
}

bool OpenDialogDisplay() { return GtkDisplayOpens(); }

}  // namespace slidesaver::linux_platform

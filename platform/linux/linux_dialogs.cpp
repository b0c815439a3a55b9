// The dialogs on Linux (GTK 3). GTK is started only when a dialog is first shown.
#include <strings.h>

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
  int VerifyScreenSavePwd(platform::WindowHandle window) override {
    return RunVerifyPasswordDialog(PasswordStore(PasswordStore::DefaultPath()), window);
  }
  // Only the screen saver's password ("SCRSAVE") is kept here.
  int PwdChangePasswordA(const char* registry_key, platform::WindowHandle owner, int,
                         int) override {
    if (!registry_key || strcasecmp(registry_key, "SCRSAVE") != 0) return kPasswordNotChanged;
    PasswordStore store(PasswordStore::DefaultPath());
    return RunChangePasswordDialog(store, owner);
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

// The dialogs on Linux (GTK 3).
#include "platform/linux/gtk_message_box.h"
#include "platform/linux/linux_platform.h"

namespace slidesaver::linux_platform {
namespace {

class LinuxDialogs : public platform::Dialogs {
 public:
  void MessageBox(const std::string& text, const std::string& title,
                  platform::MessageIcon icon) override {
    GtkMessageBox(text, title, icon);
  }
  void ShowSettingsDialog(FrmSetting&) override {}                        // not built yet
  int VerifyScreenSavePwd(platform::WindowHandle) override { return 1; }  // not built yet
  int PwdChangePasswordA(const char*, platform::WindowHandle, int, int) override { return 0; }
};

}  // namespace

std::unique_ptr<platform::Dialogs> MakeLinuxDialogs() { return std::make_unique<LinuxDialogs>(); }

}  // namespace slidesaver::linux_platform

#pragma once
#include <functional>
#include <string>
#include <vector>

#include "platform/dialogs.h"

namespace slidesaver::fake {

struct MessageBoxCall {
  std::string text;
  std::string title;
  platform::MessageIcon icon;
};

struct PasswordChangeCall {
  std::string registry_key;
  platform::WindowHandle owner;
  int reserved1;
  int reserved2;
};

// Logs every dialog; what the user does is scripted by callbacks.
class FakeDialogs : public platform::Dialogs {
 public:
  std::vector<MessageBoxCall> message_boxes;
  std::vector<PasswordChangeCall> password_changes;
  std::vector<platform::WindowHandle> password_checks;
  int settings_dialogs = 0;

  // Plays the user in the settings dialog; by default the user closes it without a choice.
  std::function<void(platform::SettingsDialogModel&)> on_settings_dialog;
  // The answer of the password check; non-zero accepts.
  std::function<int(platform::WindowHandle)> on_verify_password = [](platform::WindowHandle) {
    return 1;
  };
  int password_change_result = 0;

  void MessageBox(const std::string& text, const std::string& title,
                  platform::MessageIcon icon) override;
  void ShowSettingsDialog(platform::SettingsDialogModel& settings) override;
  int VerifyScreenSavePwd(platform::WindowHandle window) override;
  int PwdChangePasswordA(const char* registry_key, platform::WindowHandle owner, int reserved1,
                         int reserved2) override;
};

}  // namespace slidesaver::fake

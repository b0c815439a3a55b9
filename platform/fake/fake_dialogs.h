#pragma once
#include <functional>
#include <string>
#include <vector>

#include "platform/dialogs.h"
#include "platform/fake/fake_show_window.h"

namespace slidesaver::fake {

struct MessageBoxCall {
  std::string text;
  std::string title;
  platform::MessageIcon icon;
  bool show_window_visible;  // what the screen looked like when the box came up
  int32_t cursor_count;
};

struct PasswordChangeCall {
  std::string registry_key;
  platform::WindowHandle owner;
  int reserved1;
  int reserved2;
};

// Logs every dialog; what the user does is scripted by callbacks. Message boxes and password
// checks are also logged in the call log, as "MessageBox <title>" and
// "VerifyScreenSavePwd <window>".
class FakeDialogs : public platform::Dialogs {
 public:
  FakeDialogs(FakeCallLog& log, FakeShowWindow& window) : log_(log), window_(window) {}

  std::vector<MessageBoxCall> message_boxes;
  std::vector<PasswordChangeCall> password_changes;
  std::vector<platform::WindowHandle> password_checks;
  int settings_dialogs = 0;

  // Plays the user in the settings dialog; by default the user closes it without a choice.
  std::function<void(platform::SettingsDialogModel&)> on_settings_dialog;
  // The answer of the Windows password check (a BOOL, of which the show reads the low word).
  std::function<int(platform::WindowHandle)> on_verify_password = [](platform::WindowHandle) {
    return 1;
  };

  void MessageBox(const std::string& text, const std::string& title,
                  platform::MessageIcon icon) override;
  void ShowSettingsDialog(platform::SettingsDialogModel& settings) override;
  bool CheckPassword(platform::WindowHandle over) override;
  void ChangePassword(platform::WindowHandle owner) override;

 private:
  FakeCallLog& log_;
  FakeShowWindow& window_;
};

}  // namespace slidesaver::fake

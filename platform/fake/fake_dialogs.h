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
  bool cursor_shown;
};

// Logs every dialog; what the user does is scripted by callbacks. Message boxes and password
// checks are also logged in the call log, as "MessageBox <title>" and
// "password checked <window>".
class FakeDialogs : public platform::Dialogs {
 public:
  FakeDialogs(FakeCallLog& log, FakeShowWindow& window) : log_(log), window_(window) {}

  std::vector<MessageBoxCall> message_boxes;
  std::vector<platform::WindowHandle> password_changes;  // their owners
  std::vector<platform::WindowHandle> password_checks;
  int settings_dialogs = 0;

  // Plays the user in the settings dialog; by default the user closes it without a choice.
  std::function<void(platform::SettingsDialogModel&)> on_settings_dialog;
  // Plays the user in the password check: whether the password is accepted.
  std::function<bool(platform::WindowHandle)> on_check_password = [](platform::WindowHandle) {
    return true;
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

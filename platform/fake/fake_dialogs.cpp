#include "platform/fake/fake_dialogs.h"

#include "platform/windows_calls.h"

namespace slidesaver::fake {

namespace calls = platform::windows_calls;

void FakeDialogs::MessageBox(const std::string& text, const std::string& title,
                             platform::MessageIcon icon) {
  log_.Add("MessageBox " + title);
  message_boxes.push_back({text, title, icon, window_.Visible(), window_.CursorCount()});
}

void FakeDialogs::ShowSettingsDialog(platform::SettingsDialogModel& settings) {
  ++settings_dialogs;
  if (on_settings_dialog) on_settings_dialog(settings);
}

bool FakeDialogs::CheckPassword(platform::WindowHandle over) {
  log_.Add("VerifyScreenSavePwd " + std::to_string(over));
  password_checks.push_back(over);
  return calls::PasswordAccepted(on_verify_password ? on_verify_password(over) : 1);
}

void FakeDialogs::ChangePassword(platform::WindowHandle owner) {
  password_changes.push_back({calls::kScreenSaverPasswordProvider, owner, 0, 0});
}

}  // namespace slidesaver::fake

#include "platform/fake/fake_dialogs.h"

namespace slidesaver::fake {

void FakeDialogs::MessageBox(const std::string& text, const std::string& title,
                             platform::MessageIcon icon) {
  log_.Add("MessageBox " + title);
  message_boxes.push_back({text, title, icon, window_.Visible(), window_.CursorCount()});
}

void FakeDialogs::ShowSettingsDialog(platform::SettingsDialogModel& settings) {
  ++settings_dialogs;
  if (on_settings_dialog) on_settings_dialog(settings);
}

int FakeDialogs::VerifyScreenSavePwd(platform::WindowHandle window) {
  log_.Add("VerifyScreenSavePwd " + std::to_string(window));
  password_checks.push_back(window);
  return on_verify_password ? on_verify_password(window) : 1;
}

int FakeDialogs::PwdChangePasswordA(const char* registry_key, platform::WindowHandle owner,
                                    int reserved1, int reserved2) {
  password_changes.push_back({registry_key ? registry_key : "", owner, reserved1, reserved2});
  return password_change_result;
}

}  // namespace slidesaver::fake

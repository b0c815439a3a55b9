#include "platform/fake/fake_dialogs.h"

namespace slidesaver::fake {

void FakeDialogs::MessageBox(const std::string& text, const std::string& title,
                             platform::MessageIcon icon) {
  log_.Add("MessageBox " + title);
  message_boxes.push_back({text, title, icon, window_.Visible(), window_.CursorShown()});
}

void FakeDialogs::ShowSettingsDialog(platform::SettingsDialogModel& settings) {
  ++settings_dialogs;
  if (on_settings_dialog) on_settings_dialog(settings);
}

bool FakeDialogs::CheckPassword(platform::WindowHandle over) {
  log_.Add("password checked " + std::to_string(over));
  password_checks.push_back(over);
  return !on_check_password || on_check_password(over);
}

void FakeDialogs::ChangePassword(platform::WindowHandle owner) {
  password_changes.push_back(owner);
}

}  // namespace slidesaver::fake

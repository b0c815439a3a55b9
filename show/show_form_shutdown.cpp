// The show's start, the shutdown with the password check, and the error trap's report.
#include "show/show_form.h"

namespace slidesaver {
namespace {
const char kUnknownErrorText[] = "不明のエラーが発生しました。";
const char kErrorTitle[] = "エラー";
}  // namespace

void ShowForm::StartShow() {
  platform_.window.SetCursorVisible(false);
  // Discards what the input handlers set before this point, but never a close request.
  state_.stop_requested = state_.close_requested;
  state_.current_slide = 0;
  state_.start_cursor_pos = platform_.window.GetCursorPos();
  // A password-protected show must not be left by switching to another window.
  if (!grabbed_ && platform_.system.ScreenSaverPasswordOn()) {
    platform_.window.Grab(true);
    grabbed_ = true;
  }
}

bool ShowForm::PasswordAllowsEnd() {
  platform_.window.SetCursorVisible(true);
  if (state_.close_requested) return true;
  if (!platform_.system.ScreenSaverPasswordOn()) return true;
  // The password dialog needs the keyboard and the pointer.
  if (grabbed_) {
    platform_.window.Grab(false);
    grabbed_ = false;
  }
  if (platform_.dialogs.CheckPassword(platform_.window.Handle()) || state_.close_requested)
    return true;
  platform_.window.SetCursorVisible(false);
  return false;
}

void ShowForm::EndShow() {
  if (grabbed_) {
    platform_.window.Grab(false);
    grabbed_ = false;
  }
  platform_.system.SetScreenSaverRunning(false);
  music_.Close();
  platform_.audio.StopSound();
}

void ShowForm::ReportError(const std::string& description, const std::string& source) {
  // The box must be seen and answered: the top-most show window goes first, the cursor
  // comes back, and the system learns that no screen saver runs any more.
  try {
    platform_.window.Hide();
    platform_.window.SetCursorVisible(true);
    EndShow();
  } catch (...) {
    // The report matters more than a failing undo.
  }
  std::string text = std::string(kUnknownErrorText) + "\r\n" + description + "\r\n" + source;
  std::string logged = description + " (" + source + ")";
  for (const std::string& cause : KnownCauses()) {
    text += "\r\n" + cause;
    logged += "; " + cause;
  }
  try {
    platform_.process.Log(logged);
  } catch (...) {
  }
  platform_.dialogs.MessageBox(text, kErrorTitle, platform::MessageIcon::Warning);
}

std::vector<std::string> ShowForm::KnownCauses() const {
  std::vector<std::string> causes;
  if (!package_problem_.empty())
    causes.push_back("The show's Package can't be read: " + package_problem_);
  for (std::string& cause : source_.KnownCauses()) causes.push_back(std::move(cause));
  return causes;
}

}  // namespace slidesaver

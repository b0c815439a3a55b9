#pragma once
// The settings dialog without its window: whether the music and the sounds are on, OK and
// キャンセル, and visibility. A view (Dialogs::ShowSettingsDialog) shows the form modally through
// platform::SettingsDialogModel. The in-memory settings are never changed: the saved values
// apply from the next start.
#include <string>

#include "platform/dialogs.h"
#include "platform/file_system.h"
#include "settings/settings.h"

namespace slidesaver {

class SettingsForm : public platform::SettingsDialogModel {
 public:
  // Starts from BgmEnabled and SoundEnabled; hidden. `error_title` is the title of the
  // message box that reports a failed save.
  SettingsForm(platform::FileSystem& files, platform::Dialogs& dialogs, const Settings& settings,
               std::string error_title);

  bool MusicEnabled() const { return music_enabled_; }
  bool SoundsEnabled() const { return sounds_enabled_; }
  void SetMusicEnabled(bool on) { music_enabled_ = on; }
  void SetSoundsEnabled(bool on) { sounds_enabled_ = on; }

  // OK: saves the choices to SettingsPath and hides the form. A save that fails is reported
  // with a message box and then ends the process by throwing ProcessExit{1}.
  void Accept() override;
  // キャンセル, the close box or Escape: hides the form without writing.
  void Cancel() override { visible_ = false; }

  void Show() { visible_ = true; }
  bool Visible() const override { return visible_; }

  const platform::SettingsDialogLayout& Layout() const override;
  bool Enabled(platform::SettingsSwitch setting) const override;
  void SetEnabled(platform::SettingsSwitch setting, bool on) override;

 private:
  platform::FileSystem& files_;
  platform::Dialogs& dialogs_;
  const Settings& settings_;
  std::string error_title_;
  bool music_enabled_;
  bool sounds_enabled_;
  bool visible_ = false;
};

}  // namespace slidesaver

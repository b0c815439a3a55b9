#include "settings/settings_form.h"

#include "common/run_time_error.h"
#include "settings/settings_file.h"
#include "settings/settings_form_layout.h"

namespace slidesaver {
namespace {

constexpr int16_t kOn = -1;
constexpr int16_t kOff = 0;

}  // namespace

SettingsForm::SettingsForm(platform::FileSystem& files, platform::Dialogs& dialogs,
                           const Settings& settings, std::string error_title)
    : files_(files),
      dialogs_(dialogs),
      settings_(settings),
      error_title_(std::move(error_title)),
      music_enabled_(settings.BgmEnabled != 0),
      sounds_enabled_(settings.SoundEnabled != 0) {}

void SettingsForm::Accept() {
  const std::string error = SaveSettings(files_, settings_.SettingsPath,
                                         music_enabled_ ? kOn : kOff, sounds_enabled_ ? kOn : kOff);
  if (!error.empty()) {
    dialogs_.MessageBox("実行時エラー '75':\n\nパス/ファイル アクセス エラーです。\n\n" + error,
                        error_title_, platform::MessageIcon::Warning);
    throw ProcessExit{1};
  }
  visible_ = false;
}

const platform::SettingsDialogLayout& SettingsForm::Layout() const { return SettingsFormLayout(); }

bool SettingsForm::Enabled(platform::SettingsSwitch setting) const {
  return setting == platform::SettingsSwitch::Music ? MusicEnabled() : SoundsEnabled();
}

void SettingsForm::SetEnabled(platform::SettingsSwitch setting, bool on) {
  if (setting == platform::SettingsSwitch::Music) {
    SetMusicEnabled(on);
  } else {
    SetSoundsEnabled(on);
  }
}

}  // namespace slidesaver

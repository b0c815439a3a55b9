#include "settings/settings_form.h"

#include "common/run_time_error.h"
#include "settings/settings_file.h"

namespace slidesaver {
namespace {

constexpr int16_t kOn = -1;
constexpr int16_t kOff = 0;

}  // namespace

FrmSetting::FrmSetting(platform::FileSystem& files, platform::Dialogs& dialogs,
                       const Settings& settings, std::string error_title)
    : files_(files), dialogs_(dialogs), settings_(settings), error_title_(std::move(error_title)) {}

void FrmSetting::Form_Load() {
  SelectOption1(settings_.BgmEnabled != 0 ? 0 : 1);
  SelectOption1(settings_.SoundEnabled != 0 ? 2 : 3);
}

void FrmSetting::Command1_Click(int16_t index) {
  if (index == 0) {
    const std::string error = SaveSettings(files_, settings_.SettingsPath, Option1(0) ? kOn : kOff,
                                           Option1(2) ? kOn : kOff);
    if (!error.empty()) {
      dialogs_.MessageBox("実行時エラー '75':\n\nパス/ファイル アクセス エラーです。\n\n" + error,
                          error_title_, platform::MessageIcon::Warning);
      throw ProcessExit{1};
    }
  }
  Hide();
}

bool FrmSetting::Option1(int index) const {
  return index >= 0 && index < kOptionCount && option1_[static_cast<size_t>(index)];
}

void FrmSetting::SelectOption1(int index) {
  if (index < 0 || index >= kOptionCount) return;
  const int group_start = index & ~1;  // {0, 1} music, {2, 3} sounds
  option1_[static_cast<size_t>(group_start)] = index == group_start;
  option1_[static_cast<size_t>(group_start + 1)] = index != group_start;
}

}  // namespace slidesaver

#pragma once
// The settings dialog frmSetting without its window: the four option buttons Option1(0..3) in
// two independent groups (0 "ON" / 1 "OFF" for the music in Frame1, 2 "ON" / 3 "OFF" for the
// sounds in Frame2), the buttons Command1(0) "OK" and Command1(1) "キャンセル", and visibility.
// A view (Dialogs::ShowSettingsDialog) shows the form modally: it reflects Option1(i), calls
// SelectOption1 when the user picks a choice and Command1_Click when a button is pressed, and
// closes once Visible() turns false. The in-memory settings are never changed: the saved values
// apply from the next start.
//
// A save that fails is reported with a message box and then ends the process by throwing
// ProcessExit{1} out of Command1_Click; a view running its own modal loop must let it pass
// (catch it around the loop, close the window, rethrow).
#include <array>
#include <cstdint>
#include <string>

#include "platform/dialogs.h"
#include "platform/file_system.h"
#include "settings/settings.h"

namespace slidesaver {

class FrmSetting {
 public:
  static constexpr const char* kCaption = "設定";
  static constexpr int kOptionCount = 4;

  // `error_title` is the title of the message box that reports a failed save.
  FrmSetting(platform::FileSystem& files, platform::Dialogs& dialogs, const Settings& settings,
             std::string error_title);

  // Selects the choices from BgmEnabled and SoundEnabled.
  void Form_Load();
  // Index 0 ("OK") saves the selected choices to SettingsPath and hides the form; any other
  // index hides it without writing.
  void Command1_Click(int16_t index);

  // Selection state of Option1(index), index 0 to 3; other indices are never selected.
  bool Option1(int index) const;
  // The user picks Option1(index): it is selected and the other choice of its group cleared.
  // An index outside 0 to 3 changes nothing.
  void SelectOption1(int index);

  bool Visible() const { return visible_; }
  void Show() { visible_ = true; }
  void Hide() { visible_ = false; }

 private:
  platform::FileSystem& files_;
  platform::Dialogs& dialogs_;
  const Settings& settings_;
  std::string error_title_;
  std::array<bool, kOptionCount> option1_{};
  bool visible_ = false;
};

}  // namespace slidesaver

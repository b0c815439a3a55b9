#pragma once
#include <cstdint>
#include <span>
#include <string>

#include "platform/system.h"

namespace slidesaver::platform {

enum class MessageIcon { Information, Warning };

// The two things the settings dialog switches on and off.
enum class SettingsSwitch { Music, Sounds };

// One control of the settings dialog, placed in twips (1/1440 inch: 15 to the pixel at 96 DPI)
// on the dialog's client area.
struct SettingsControl {
  enum class Kind { Frame, Choice, AcceptButton, CancelButton };
  Kind kind;
  const char* caption;               // UTF-8, as shown
  int32_t left, top, width, height;  // twips
  // A choice: the switch it sets and the value it stands for.
  SettingsSwitch setting = SettingsSwitch::Music;
  bool on = false;
};

struct SettingsDialogLayout {
  const char* title;
  int32_t client_width, client_height;  // twips
  // In tab order. The choices that follow a frame are its group: exactly one of them is
  // selected, and the arrow keys move within it.
  std::span<const SettingsControl> controls;
};

// What a settings dialog view draws and tells. The view lays out Layout(), shows each choice
// as Selected, calls Choose when the user picks one, Accept for the accept button, Cancel for
// the cancel button, the close box and Escape, and closes once Visible() turns false.
// Accept may throw ProcessExit after reporting a failed save: a view running its own modal
// loop closes its window and rethrows.
class SettingsDialogModel {
 public:
  virtual ~SettingsDialogModel() = default;
  virtual const SettingsDialogLayout& Layout() const = 0;
  virtual bool Enabled(SettingsSwitch setting) const = 0;
  virtual void SetEnabled(SettingsSwitch setting, bool on) = 0;
  virtual void Accept() = 0;
  virtual void Cancel() = 0;
  virtual bool Visible() const = 0;

  bool Selected(const SettingsControl& choice) const {
    return Enabled(choice.setting) == choice.on;
  }
  void Choose(const SettingsControl& choice) { SetEnabled(choice.setting, choice.on); }
};

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // Text, title, icon and one OK button; returns when the user has answered.
  virtual void MessageBox(const std::string& text, const std::string& title, MessageIcon icon) = 0;
  // Shows the settings dialog modally and returns once the model is no longer visible.
  virtual void ShowSettingsDialog(SettingsDialogModel& settings) = 0;
  // Asks for the screen-saver password over the show window; true when it was given.
  virtual bool CheckPassword(WindowHandle over) = 0;
  // The dialog that changes the screen-saver password, owned by `owner`.
  virtual void ChangePassword(WindowHandle owner) = 0;
};

}  // namespace slidesaver::platform

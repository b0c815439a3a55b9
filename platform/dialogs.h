#pragma once
#include <string>

#include "platform/system.h"

namespace slidesaver {
class FrmSetting;
}

namespace slidesaver::platform {

enum class MessageIcon { Information, Warning };

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // Text, title, icon and one OK button; returns when the user has answered.
  virtual void MessageBox(const std::string& text, const std::string& title, MessageIcon icon) = 0;
  // Shows the settings dialog modally: the view reflects form's choices, calls its
  // handlers, and returns once the form has been hidden (or the close box was used).
  virtual void ShowSettingsDialog(FrmSetting& form) = 0;
  // The screen-saver password check over the show window: non-zero when accepted.
  virtual int VerifyScreenSavePwd(WindowHandle window) = 0;
  // The dialog that changes the screen-saver password.
  virtual int PwdChangePasswordA(const char* registry_key, WindowHandle owner, int reserved1,
                                 int reserved2) = 0;
};

}  // namespace slidesaver::platform

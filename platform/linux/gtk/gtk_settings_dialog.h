#pragma once
#include "settings/settings_form.h"

namespace slidesaver::linux_platform {

// Shows frmSetting as a GTK dialog and returns once the form has been hidden (by its buttons,
// the close box or Escape). An exception from the form's handlers (ProcessExit after a failed
// save) closes the dialog and is rethrown here. Without a display the process ends with
// ProcessExit{1} after a line on stderr.
void ShowGtkSettingsDialog(FrmSetting& form);

}  // namespace slidesaver::linux_platform

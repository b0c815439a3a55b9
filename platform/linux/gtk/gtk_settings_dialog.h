#pragma once
#include "platform/dialogs.h"

namespace slidesaver::linux_platform {

// Shows the settings dialog as a GTK window and returns once the model has been hidden (by
// its buttons, the close box or Escape). An exception from the model (ProcessExit after a
// failed save) closes the dialog and is rethrown here. Without a display the process ends
// with ProcessExit{1} after a line on stderr.
void ShowGtkSettingsDialog(platform::SettingsDialogModel& settings);

}  // namespace slidesaver::linux_platform

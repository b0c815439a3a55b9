#pragma once
#include "platform/dialogs.h"

namespace slidesaver {

// The settings form's controls, captions and places, as both dialog views draw them.
const platform::SettingsDialogLayout& SettingsFormLayout();

}  // namespace slidesaver

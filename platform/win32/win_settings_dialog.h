#pragma once
// The settings dialog as a Win32 window with its controls, laid out from the layout's twips.
#include <cstdint>
#include <vector>

#include "platform/dialogs.h"

namespace slidesaver::win32 {

// Control ids: the n-th choice is kFirstChoiceId + n, the n-th frame kFirstFrameId + n; the
// accept and cancel buttons are IDOK and IDCANCEL, so that Enter and Escape reach them through
// the dialog keyboard handling.
constexpr int kFirstChoiceId = 100;
constexpr int kFirstFrameId = 300;
constexpr wchar_t kSettingsWindowClass[] = L"SlidesaverSettings";

struct PlacedControl {
  int id;
  const platform::SettingsControl* control;
  int32_t left, top, width, height;  // client pixels
};

struct PixelLayout {
  int32_t client_width, client_height;
  std::vector<PlacedControl> controls;  // in the layout's (tab) order
};

// The layout's twips converted to pixels at `dpi` dots per inch (15 twips a pixel at 96).
PixelLayout PlaceControls(const platform::SettingsDialogLayout& layout, int dpi);

// Shows the dialog modally and returns once the model has been hidden (its buttons, Enter,
// Escape or the close box). An exception from the model closes the window and is rethrown.
void RunSettingsDialog(platform::SettingsDialogModel& settings);

}  // namespace slidesaver::win32

#pragma once
// frmSetting as a Win32 window with its controls, laid out from the form's twips.
#include <array>
#include <cstdint>

#include "settings/settings_form.h"

namespace slidesaver::win32 {

// Control ids: Option1(i) is kOption1Id + i; Command1(0) and (1) are IDOK and IDCANCEL, so that
// Enter and Escape reach them through the dialog keyboard handling.
constexpr int kOption1Id = 100;
constexpr int kFrame1Id = 300;
constexpr int kFrame2Id = 301;
constexpr wchar_t kSettingsWindowClass[] = L"SlidesaverSettings";

struct ControlPlace {
  int id;
  const char* window_class;          // "BUTTON"
  const char* caption;               // UTF-8
  int32_t left, top, width, height;  // client pixels
};

struct SettingsLayout {
  int32_t client_width, client_height;
  std::array<ControlPlace, 8> controls;  // in tab order: Frame1, Option1(0), (1), Frame2, ...
};

// The form's twips converted to pixels at `dpi` dots per inch (15 twips a pixel at 96).
SettingsLayout SettingsDialogLayout(int dpi);

// Shows the form modally and returns once it has been hidden (its buttons, Enter, Escape or
// the close box). An exception from the form's handlers closes the window and is rethrown.
void RunSettingsDialog(FrmSetting& form);

}  // namespace slidesaver::win32

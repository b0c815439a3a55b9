#pragma once
#include <cstdint>
#include <string>

namespace slidesaver {

// The user's two choices, read at every start from the settings file beside the program.
struct Settings {
  std::string SettingsPath;
  int16_t BgmEnabled = 0;    // 16-bit boolean: -1 on, 0 off, any non-zero counts as on
  int16_t SoundEnabled = 0;
};

}  // namespace slidesaver

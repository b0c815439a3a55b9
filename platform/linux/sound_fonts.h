#pragma once
// The General MIDI soundfont MIDI music plays through: the first present of those the Debian
// packages install.
#include <unistd.h>

namespace slidesaver::linux_platform {

inline constexpr const char* kSoundFonts[] = {
    "/usr/share/sounds/sf2/TimGM6mb.sf2",
    "/usr/share/sounds/sf2/default-GM.sf2",
    "/usr/share/sounds/sf2/FluidR3_GM.sf2",
    "/usr/share/sounds/sf3/default-GM.sf3",
};

// Null when none is there.
inline const char* FindSoundFont() {
  for (const char* font : kSoundFonts) {
    if (access(font, R_OK) == 0) return font;
  }
  return nullptr;
}

}  // namespace slidesaver::linux_platform

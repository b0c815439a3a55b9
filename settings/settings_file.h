#pragma once
// The settings file beside the program: BgmEnabled then SoundEnabled, two 16-bit
// little-endian values (-1 on, 0 off), 4 bytes and nothing else.
#include <cstdint>
#include <string>

#include "platform/file_system.h"
#include "settings/settings.h"

namespace slidesaver {

// Fills BgmEnabled and SoundEnabled from settings.SettingsPath. A missing file means both on
// (and the file is not created); a value the file doesn't hold in full, or a file that can't be
// read, is 0 (off).
void ReadSettings(platform::FileSystem& files, Settings& settings);

// Replaces the file at `path` with the 4 bytes of the two values, atomically: a failed save
// leaves the previous file as it was. Empty on success, otherwise what went wrong.
std::string SaveSettings(platform::FileSystem& files, const std::string& path, int16_t bgm_enabled,
                         int16_t sound_enabled);

}  // namespace slidesaver

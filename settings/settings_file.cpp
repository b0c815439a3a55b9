#include "settings/settings_file.h"

#include <algorithm>
#include <array>

namespace slidesaver {
namespace {

constexpr int16_t kOn = -1;

int16_t Int16At(const uint8_t* p) { return static_cast<int16_t>(p[0] | (p[1] << 8)); }

}  // namespace

void ReadSettings(platform::FileSystem& files, Settings& settings) {
  if (!files.FileExists(settings.SettingsPath)) {
    settings.BgmEnabled = kOn;
    settings.SoundEnabled = kOn;
    return;
  }
  settings.BgmEnabled = 0;
  settings.SoundEnabled = 0;
  const auto opened = files.OpenForReading(settings.SettingsPath);
  if (!opened) return;
  const media::ByteSource* file = opened->get();
  // Only the first 4 bytes are read, however long the file is.
  std::array<uint8_t, 4> bytes{};
  const size_t length = static_cast<size_t>(std::min<uint64_t>(file->Size(), bytes.size()));
  try {
    file->ReadAt(0, std::span(bytes).first(length));
  } catch (const media::ReadError&) {
    return;
  }
  if (length >= 2) settings.BgmEnabled = Int16At(bytes.data());
  if (length >= 4) settings.SoundEnabled = Int16At(bytes.data() + 2);
}

std::string SaveSettings(platform::FileSystem& files, const std::string& path, int16_t bgm_enabled,
                         int16_t sound_enabled) {
  const auto bgm = static_cast<uint16_t>(bgm_enabled);
  const auto sound = static_cast<uint16_t>(sound_enabled);
  const std::array<uint8_t, 4> bytes = {static_cast<uint8_t>(bgm), static_cast<uint8_t>(bgm >> 8),
                                        static_cast<uint8_t>(sound),
                                        static_cast<uint8_t>(sound >> 8)};
  return files.WriteFileAtomic(path, bytes).reason();
}

}  // namespace slidesaver

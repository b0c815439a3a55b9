#pragma once
// The per-format readers behind CheckSoundBeforeDecoding. Each fills `header` and returns
// why the file is refused, or "" when it passes.
#include <cstdint>
#include <span>
#include <string>

#include "media/sound_header.h"

namespace slidesaver::media::sound_parts {

inline uint32_t Le16(std::span<const uint8_t> b, size_t at) {
  return b[at] | uint32_t{b[at + 1]} << 8;
}
inline uint32_t Le32(std::span<const uint8_t> b, size_t at) {
  return Le16(b, at) | Le16(b, at + 2) << 16;
}
inline uint32_t Be32(std::span<const uint8_t> b, size_t at) {
  return uint32_t{b[at]} << 24 | uint32_t{b[at + 1]} << 16 | uint32_t{b[at + 2]} << 8 | b[at + 3];
}

std::string ReadWav(const ByteSource& file, SoundHeader& header);
std::string ReadMidi(const ByteSource& file, SoundHeader& header);
std::string ReadOgg(const ByteSource& file, SoundHeader& header);
std::string ReadMp3(const ByteSource& file, SoundHeader& header);

}  // namespace slidesaver::media::sound_parts

// WAV: the RIFF chunks up to the samples, the format chunk read and checked.
#include <array>
#include <cstdio>
#include <cstring>

#include "media/sound_header_parts.h"

namespace slidesaver::media::sound_parts {
namespace {

constexpr int kPcm = 1, kMsAdpcm = 2, kFloat = 3, kALaw = 6, kMuLaw = 7, kImaAdpcm = 0x11;
constexpr int kExtensible = 0xFFFE;
// The format chunk is read whole: the largest real one (MS ADPCM with 256 coefficients) fits.
constexpr uint32_t kMaxFormatChunk = 2048;
// Chunks before the samples: lists, facts, cues. More than this is no sound file.
constexpr int kMaxChunksBeforeData = 256;

// Whether the decoders take samples of these bits in this encoding.
bool BitsFit(int encoding, int bits) {
  switch (encoding) {
    case kPcm:
      return bits == 8 || bits == 16 || bits == 24 || bits == 32;
    case kFloat:
      return bits == 32;
    case kALaw:
    case kMuLaw:
      return bits == 8;
    case kMsAdpcm:
    case kImaAdpcm:
      return bits == 4;
  }
  return false;
}

std::string ReadFormat(std::span<const uint8_t> f, SoundHeader& h) {
  h.encoding = static_cast<int>(Le16(f, 0));
  h.channels = static_cast<int>(Le16(f, 2));
  h.rate = Le32(f, 4);
  const uint32_t block_align = Le16(f, 12);
  h.bits = static_cast<int>(Le16(f, 14));
  if (h.encoding == kExtensible) {
    // The sub-format GUID: the encoding in its first two bytes, then the fixed tail.
    static constexpr uint8_t kTail[14] = {0, 0, 0,    0, 0x10, 0,    0x80,
                                          0, 0, 0xAA, 0, 0x38, 0x9B, 0x71};
    if (f.size() < 40 || Le16(f, 16) < 22 || std::memcmp(f.data() + 26, kTail, 14) != 0) {
      return "a WAV whose extensible format is damaged";
    }
    h.encoding = static_cast<int>(Le16(f, 24));
  }
  if (const std::string bad = CheckSoundRateAndChannels("WAV", h.rate, h.channels); !bad.empty()) {
    return bad;
  }
  if (!BitsFit(h.encoding, h.bits)) {
    char code[8];
    std::snprintf(code, sizeof code, "0x%04X", h.encoding);
    return "a WAV of encoding " + std::string(code) + " with " + std::to_string(h.bits) +
           "-bit samples, which the players do not play";
  }
  const uint32_t frame_bytes =
      static_cast<uint32_t>(h.channels) * static_cast<uint32_t>(h.bits) / 8;
  const uint32_t block_header =
      static_cast<uint32_t>(h.channels) * (h.encoding == kMsAdpcm ? 7 : 4);
  const bool adpcm = h.encoding == kMsAdpcm || h.encoding == kImaAdpcm;
  if (adpcm ? block_align < block_header : block_align != frame_bytes) {
    return "a WAV whose block size (" + std::to_string(block_align) +
           " bytes) does not fit its samples";
  }
  // ADPCM: two samples a byte after each block's header, and at most two in the header.
  const uint64_t blocks = (h.data_bytes + block_align - 1) / block_align;
  h.frames = adpcm ? h.data_bytes * 2 / static_cast<uint64_t>(h.channels) + blocks * 2
                   : h.data_bytes / block_align;
  return {};
}

}  // namespace

std::string ReadWav(const ByteSource& file, SoundHeader& h) {
  h.format = SoundFormat::kWav;
  const uint64_t size = file.Size();
  uint64_t at = 12;
  bool format_seen = false;
  for (int chunk = 0;; ++chunk) {
    if (chunk > kMaxChunksBeforeData) return "a WAV of more chunks than a sound has";
    if (at + 8 > size) return "a WAV without samples: the file is cut short or damaged";
    std::array<uint8_t, 8> c{};
    file.ReadAt(at, c);
    const uint32_t length = Le32(c, 4);
    at += 8;
    if (std::memcmp(c.data(), "fmt ", 4) == 0) {
      if (format_seen) return "a WAV of two format chunks";
      if (length < 16 || length > kMaxFormatChunk || length > size - at) {
        return "a WAV whose format chunk is damaged";
      }
      h.wav_format.resize(length);
      file.ReadAt(at, h.wav_format);
      format_seen = true;
    } else if (std::memcmp(c.data(), "data", 4) == 0) {
      if (!format_seen) return "a WAV whose samples come before their format";
      if (length > size - at) return "a WAV whose samples are cut short";
      h.data_offset = at;
      h.data_bytes = length;
      return ReadFormat(h.wav_format, h);
    }
    at += uint64_t{length} + (length & 1);
  }
}

}  // namespace slidesaver::media::sound_parts

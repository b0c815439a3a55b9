// Ogg Vorbis: every page of the file, each whole and with its checksum right, so that no
// decoder resynchronizes onto a page hidden in another's data; every stream that starts in
// it is Vorbis within the bounds (a chained file may change its rate at each link).
#include <array>
#include <cstring>
#include <vector>

#include "media/sound_header_parts.h"

namespace slidesaver::media::sound_parts {
namespace {

// Ogg's CRC-32: polynomial 0x04C11DB7, no reflection, starting at 0.
class OggCrc {
 public:
  OggCrc() {
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t r = i << 24;
      for (int k = 0; k < 8; ++k) r = (r & 0x80000000u) ? (r << 1) ^ 0x04C11DB7u : r << 1;
      table_[i] = r;
    }
  }
  uint32_t Add(uint32_t crc, std::span<const uint8_t> bytes) const {
    for (uint8_t b : bytes) crc = (crc << 8) ^ table_[((crc >> 24) ^ b) & 0xFF];
    return crc;
  }

 private:
  std::array<uint32_t, 256> table_{};
};

}  // namespace

std::string ReadOgg(const ByteSource& file, SoundHeader& header) {
  header.format = SoundFormat::kOggVorbis;
  static const OggCrc crc;
  const uint64_t size = file.Size();
  std::vector<uint8_t> page;
  for (uint64_t at = 0; at < size;) {
    std::array<uint8_t, 27> head{};
    if (size - at < head.size()) return "an Ogg file cut short";
    file.ReadAt(at, head);
    if (std::memcmp(head.data(), "OggS", 4) != 0 || head[4] != 0) {
      return "an Ogg file whose pages are damaged";
    }
    std::array<uint8_t, 255> lacing{};
    const size_t segments = head[26];
    if (size - at - head.size() < segments) return "an Ogg file cut short";
    file.ReadAt(at + head.size(), std::span(lacing).first(segments));
    size_t body = 0;
    for (size_t i = 0; i < segments; ++i) body += lacing[i];
    const uint64_t whole = head.size() + segments + body;
    if (size - at < whole) return "an Ogg file cut short";
    page.resize(static_cast<size_t>(whole));
    file.ReadAt(at, page);
    const uint32_t stored = Le32(page, 22);
    std::memset(page.data() + 22, 0, 4);
    if (crc.Add(0, page) != stored) return "an Ogg file whose pages are damaged";
    if (head[5] & 0x02) {  // the first page of a stream: Vorbis's identification header
      const std::span<const uint8_t> id = std::span<const uint8_t>(page).subspan(27 + segments);
      if (id.size() < 30 || std::memcmp(id.data(), "\x01vorbis", 7) != 0) {
        return "an Ogg file holding other than Vorbis";
      }
      const std::string bad = CheckSoundRateAndChannels("Ogg Vorbis stream", Le32(id, 12), id[11]);
      if (!bad.empty()) return bad;
      if (header.rate == 0) {
        header.rate = Le32(id, 12);
        header.channels = id[11];
      }
    }
    at += whole;
  }
  if (header.rate == 0) return "an Ogg file without a stream";
  return {};
}

}  // namespace slidesaver::media::sound_parts

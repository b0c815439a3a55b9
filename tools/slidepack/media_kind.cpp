#include "tools/slidepack/media_kind.h"

#include <cstring>

namespace slidepack {

namespace {

bool StartsWith(std::span<const uint8_t> bytes, const char* magic, size_t at = 0) {
  const size_t length = std::strlen(magic);
  return bytes.size() >= at + length && std::memcmp(bytes.data() + at, magic, length) == 0;
}

int BigEndian16(std::span<const uint8_t> b, size_t at) { return b[at] << 8 | b[at + 1]; }
int LittleEndian16(std::span<const uint8_t> b, size_t at) { return b[at] | b[at + 1] << 8; }
int64_t BigEndian32(std::span<const uint8_t> b, size_t at) {
  return int64_t{b[at]} << 24 | b[at + 1] << 16 | b[at + 2] << 8 | b[at + 3];
}
int32_t LittleEndian32(std::span<const uint8_t> b, size_t at) {
  return static_cast<int32_t>(uint32_t{b[at]} | uint32_t{b[at + 1]} << 8 |
                              uint32_t{b[at + 2]} << 16 | uint32_t{b[at + 3]} << 24);
}

// Walks the JPEG segments up to the frame header, which holds the picture's size.
void JpegSize(std::span<const uint8_t> b, MediaKind& kind) {
  size_t at = 2;
  while (at + 9 <= b.size()) {
    if (b[at] != 0xFF) return;
    const uint8_t marker = b[at + 1];
    if (marker == 0xFF) {
      ++at;
      continue;
    }
    const bool frame_header =
        marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
    if (frame_header) {
      kind.height = BigEndian16(b, at + 5);
      kind.width = BigEndian16(b, at + 7);
      kind.jpeg_frame = marker;
      return;
    }
    if (marker == 0xD9 || marker == 0xDA) return;  // no frame header before the image data
    at += 2 + static_cast<size_t>(BigEndian16(b, at + 2));
  }
}

}  // namespace

MediaKind IdentifyMedia(std::span<const uint8_t> b) {
  MediaKind kind;
  if (b.size() >= 3 && b[0] == 0xFF && b[1] == 0xD8 && b[2] == 0xFF) {
    kind = {"JPEG", ".jpg"};
    JpegSize(b, kind);
  } else if (StartsWith(b, "\x89PNG\r\n\x1a\n")) {
    kind = {"PNG", ".png"};
    if (b.size() >= 24) {
      kind.width = static_cast<int>(BigEndian32(b, 16));
      kind.height = static_cast<int>(BigEndian32(b, 20));
    }
  } else if (StartsWith(b, "GIF87a") || StartsWith(b, "GIF89a")) {
    kind = {"GIF", ".gif"};
    if (b.size() >= 10) {
      kind.width = LittleEndian16(b, 6);
      kind.height = LittleEndian16(b, 8);
    }
  } else if (StartsWith(b, "BM")) {
    kind = {"BMP", ".bmp"};
    if (b.size() >= 26) {
      kind.width = LittleEndian32(b, 18);
      const int32_t height = LittleEndian32(b, 22);
      kind.height = height == INT32_MIN ? 0 : (height < 0 ? -height : height);
    }
  } else if (StartsWith(b, "RIFF") && StartsWith(b, "WAVE", 8)) {
    kind = {"WAV", ".wav"};
  } else if (StartsWith(b, "MThd")) {
    kind = {"MIDI", ".mid"};
  } else if (StartsWith(b, "RIFF") && StartsWith(b, "RMID", 8)) {
    kind = {"MIDI", ".rmi"};
  } else if (StartsWith(b, "OggS")) {
    kind = {"Ogg", ".ogg"};
  } else if (StartsWith(b, "ID3") || (b.size() >= 2 && b[0] == 0xFF && (b[1] & 0xE0) == 0xE0)) {
    kind = {"MP3", ".mp3"};
  } else {
    kind = {"", ".bin"};
  }
  return kind;
}

std::string DescribeMedia(const MediaKind& kind) {
  if (kind.format.empty()) return "unknown format";
  if (kind.width > 0 && kind.height > 0) {
    return kind.format + " " + std::to_string(kind.width) + " x " + std::to_string(kind.height);
  }
  return kind.format;
}

}  // namespace slidepack

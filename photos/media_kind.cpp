#include "photos/media_kind.h"

#include <algorithm>
#include <cstring>

#include "media/picture_header.h"

namespace slidesaver::photos {

namespace {

bool StartsWith(std::span<const uint8_t> bytes, const char* magic, size_t at = 0) {
  const size_t length = std::strlen(magic);
  return bytes.size() >= at + length && std::memcmp(bytes.data() + at, magic, length) == 0;
}

// The extension `unpack` gives a picture of each format.
const char* ExtensionOf(media::PictureFormat format) {
  using media::PictureFormat;
  switch (format) {
    case PictureFormat::kJpeg:
      return ".jpg";
    case PictureFormat::kPng:
      return ".png";
    case PictureFormat::kGif:
      return ".gif";
    case PictureFormat::kBmp:
      return ".bmp";
    case PictureFormat::kTiff:
      return ".tif";
    case PictureFormat::kWebp:
      return ".webp";
    case PictureFormat::kHeif:
      break;
  }
  return ".heic";
}

}  // namespace

MediaKind IdentifyMedia(std::span<const uint8_t> b) {
  MediaKind kind;
  if (const auto picture = media::ReadPictureHeader(b)) {
    kind = {FormatName(picture->format), ExtensionOf(picture->format),
            static_cast<int>(std::min<int64_t>(picture->width, INT32_MAX)),
            static_cast<int>(std::min<int64_t>(picture->height, INT32_MAX)), picture->jpeg_frame};
  } else if (b.size() >= 3 && b[0] == 0xFF && b[1] == 0xD8 && b[2] == 0xFF) {
    kind = {"JPEG", ".jpg"};  // a damaged header: the format, but no size
  } else if (StartsWith(b, "\x89PNG\r\n\x1a\n")) {
    kind = {"PNG", ".png"};
  } else if (StartsWith(b, "GIF87a") || StartsWith(b, "GIF89a")) {
    kind = {"GIF", ".gif"};
  } else if (StartsWith(b, "BM")) {
    kind = {"BMP", ".bmp"};
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

}  // namespace slidesaver::photos

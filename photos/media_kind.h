#pragma once
// What a stored file holds, told from its first bytes: for the comments of `info` and for the
// extension of a file that `unpack` has to name itself.
#include <cstdint>
#include <span>
#include <string>

namespace slidesaver::photos {

struct MediaKind {
  std::string format;     // "JPEG", "PNG", "WAV", ... or "" when unknown
  std::string extension;  // ".jpg", ".png", ".wav", ... or ".bin" when unknown
  int width = 0;          // pictures only; 0 when unknown
  int height = 0;
  int jpeg_frame = 0;  // JPEG only: the frame header's marker (0xC0 baseline, 0xC2 progressive)
};

// How much of a file IdentifyMedia needs: the headers up to a JPEG's frame header, whatever
// metadata comes before it.
inline constexpr size_t kIdentifyBytes = size_t{1} << 20;

MediaKind IdentifyMedia(std::span<const uint8_t> bytes);

// "JPEG 652 x 430", "WAV", "unknown format"
std::string DescribeMedia(const MediaKind& kind);

}  // namespace slidesaver::photos

#pragma once
// The players' memory bounds, the same on every platform and checked before the memory is
// taken: a picture's size from its header, the show area's before its surfaces are made.
#include <cstdint>
#include <string>

namespace slidesaver::platform {

// A decoded picture takes 4 bytes a pixel: 256 MiB at most.
inline constexpr int64_t kMaxPicturePixels = int64_t{1} << 26;  // 67,108,864: 8192 x 8192
// A picture file larger than this is not read.
inline constexpr uint64_t kMaxPictureFileBytes = uint64_t{1} << 30;
// A progressive JPEG decodes its whole picture once for each of its scans: a file of a few
// megabytes may hold thousands of them and keep a decoder busy for minutes. More are refused.
inline constexpr int kMaxJpegScans = 500;
// A GIF decoder starts its code table afresh at each clear code, at a cost of thousands of
// steps: data that clears it for every pixel or two keeps a decoder busy for minutes. Encoders
// clear it once the table is full, or every few hundred pixels in GIFs stored uncompressed.
inline constexpr int64_t kMaxGifClearCodes = int64_t{1} << 20;
// The working memory a JPEG decoder may take beside the picture's bitmap: the coefficients of
// a progressive or multi-scan JPEG (192 MiB for 8192 x 8192 in 4:2:0, 384 MiB in 4:4:4).
inline constexpr int64_t kMaxJpegDecoderBytes = int64_t{256} << 20;
// Decoded pictures the Linux player keeps to show again, instead of decoding them each round.
inline constexpr int64_t kDecodedPictureCacheBytes = int64_t{64} << 20;
// The show area's three surfaces take 4 bytes a pixel each: 128 MiB each at most.
inline constexpr int64_t kMaxShowAreaPixels = int64_t{1} << 25;  // 33,554,432: 7680 x 4320 fits

// "67,108,864"
std::string WithThousands(int64_t n);

}  // namespace slidesaver::platform

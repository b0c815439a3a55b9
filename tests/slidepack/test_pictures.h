#pragma once
// Pictures the slidepack tests make for themselves with libvips: a picture whose corners are
// marked in three colours, so its orientation and fit can be read back from a few pixels, in
// every form a camera, a phone or an editor leaves it.
#include <vips/vips8>

#include <cstdint>
#include <string>
#include <vector>

namespace slidepack_test {

// The marked picture, upright: grey, with squares a quarter of the shorter side wide in three
// corners: red top left, green top right, blue bottom left.
inline constexpr uint8_t kGrey[3] = {128, 128, 128};
inline constexpr uint8_t kRed[3] = {200, 40, 40};
inline constexpr uint8_t kGreen[3] = {40, 160, 60};
inline constexpr uint8_t kBlue[3] = {40, 60, 180};
vips::VImage MarkedPicture(int width, int height);

// The pixels a camera stores with EXIF orientation `orientation` (1 to 8) for `upright`.
vips::VImage StoredForOrientation(const vips::VImage& upright, int orientation);

struct TestPicture {
  std::string file;  // file name, extension matching the content
  std::vector<uint8_t> bytes;
  int upright_width = 0;
  int upright_height = 0;
  bool transparent_corner = false;  // bottom right fully transparent
  int tolerance = 16;               // per channel: every prepared picture is a JPEG
};

// Orientations 1 to 8 (JPEG with EXIF), a CMYK JPEG, a Display P3 JPEG with its profile, a
// 16-bit PNG with alpha, GIF, TIFF, BMP and WebP, all of `upright_width` x `upright_height`; HEIC
// too when `with_heic` and the codec is there.
std::vector<TestPicture> AllTestPictures(int upright_width, int upright_height, bool with_heic);

// A HEIC of the marked picture, or nothing when libheif can't encode HEVC here.
std::vector<uint8_t> HeicPicture(int width, int height);

// A photo-like 8-bit sRGB picture (gradients, shapes and noise), different for each seed.
vips::VImage PhotoLikePicture(int width, int height, int seed);

// JPEG bytes of `image`, with `exif_time` ("YYYY:MM:DD HH:MM:SS") as its time taken if given.
std::vector<uint8_t> JpegBytes(const vips::VImage& image, int quality = 90,
                               const std::string& exif_time = "");

// A PNG of 30000 x 30000 one-bit pixels, all of them there: 112 MB of pixel rows in 120 kB.
std::vector<uint8_t> PngBomb();

}  // namespace slidepack_test

#pragma once
// Bitmaps of the drawing layer: 32-bit colour (pixels 0x00RRGGBB) or 1-bit monochrome.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace slidesaver::gdi {

// A colour value as the program passes it: 0x00BBGGRR.
using ColorRef = uint32_t;
constexpr uint32_t RgbFromColorRef(ColorRef c) {
  return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}
constexpr ColorRef ColorRefFromRgb(uint32_t rgb) { return RgbFromColorRef(rgb); }

// Half-open rectangle: columns left … right-1, rows top … bottom-1.
struct Rect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  bool Empty() const { return right <= left || bottom <= top; }
  int32_t Width() const { return right - left; }
  int32_t Height() const { return bottom - top; }
  bool operator==(const Rect&) const = default;
};
Rect Union(const Rect& a, const Rect& b);      // an empty side yields the other
Rect Intersect(const Rect& a, const Rect& b);  // may be empty

// The monochrome value nearest to a colour: 1 (white) for the brighter half, else 0 (black).
uint8_t MonoFromRgb(uint32_t rgb);

class Bitmap {
 public:
  enum class Format { Color32, Mono1 };

  Bitmap() = default;  // 0 × 0 colour bitmap
  // New bitmaps; a negative size is an invalid-argument error, a size beyond 2^30 pixels or
  // beyond the memory there is an out-of-memory error (both RunTimeError).
  static Bitmap Color(int32_t width, int32_t height, uint32_t fill_rgb = 0);
  static Bitmap Mono(int32_t width, int32_t height);  // all pixels 0 (black)

  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  Format GetFormat() const { return format_; }

  // Colour bitmaps: rows of Width() pixels 0x00RRGGBB. Monochrome: one byte per pixel, 0 or 1.
  uint32_t* Row(int32_t y) { return pixels_.data() + static_cast<size_t>(y) * width_; }
  const uint32_t* Row(int32_t y) const { return pixels_.data() + static_cast<size_t>(y) * width_; }
  uint8_t* MonoRow(int32_t y) { return mono_.data() + static_cast<size_t>(y) * width_; }
  const uint8_t* MonoRow(int32_t y) const { return mono_.data() + static_cast<size_t>(y) * width_; }
  // Colour pixel as 0x00RRGGBB (monochrome: 0x000000 or 0xFFFFFF). No bounds check.
  uint32_t Pixel(int32_t x, int32_t y) const;
  // Colour bitmaps keep the low 24 bits; monochrome ones take MonoFromRgb(rgb).
  void SetPixel(int32_t x, int32_t y, uint32_t rgb);
  // Every pixel set as SetPixel sets one.
  void Fill(uint32_t rgb);

  bool operator==(const Bitmap&) const = default;

 private:
  int32_t width_ = 0;
  int32_t height_ = 0;
  Format format_ = Format::Color32;
  std::vector<uint32_t> pixels_;
  std::vector<uint8_t> mono_;
};

}  // namespace slidesaver::gdi

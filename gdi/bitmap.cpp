#include "gdi/bitmap.h"

#include <algorithm>
#include <new>

#include "common/run_time_error.h"

namespace slidesaver::gdi {

Rect Union(const Rect& a, const Rect& b) {
  if (a.Empty()) return b;
  if (b.Empty()) return a;
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
          std::max(a.bottom, b.bottom)};
}

Rect Intersect(const Rect& a, const Rect& b) {
  Rect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
         std::min(a.bottom, b.bottom)};
  if (r.Empty()) return {};
  return r;
}

namespace {

// The pixel count of a new bitmap; sizes that cannot be held are a clear error.
size_t PixelCount(int32_t width, int32_t height) {
  if (width < 0 || height < 0) throw InvalidProcedureCallError();
  constexpr uint64_t kMaxPixels = uint64_t{1} << 30;  // 4 GiB of colour pixels
  const uint64_t count = static_cast<uint64_t>(width) * static_cast<uint64_t>(height);
  if (count > kMaxPixels) throw RunTimeError("Out of memory");
  return static_cast<size_t>(count);
}

}  // namespace

Bitmap Bitmap::Color(int32_t width, int32_t height, uint32_t fill_rgb) {
  const size_t count = PixelCount(width, height);
  Bitmap b;
  b.width_ = width;
  b.height_ = height;
  b.format_ = Format::Color32;
  try {
    b.pixels_.assign(count, fill_rgb & 0xFFFFFF);
  } catch (const std::bad_alloc&) {
    throw RunTimeError("Out of memory");
  }
  return b;
}

Bitmap Bitmap::Mono(int32_t width, int32_t height) {
  const size_t count = PixelCount(width, height);
  Bitmap b;
  b.width_ = width;
  b.height_ = height;
  b.format_ = Format::Mono1;
  try {
    b.mono_.assign(count, 0);
  } catch (const std::bad_alloc&) {
    throw RunTimeError("Out of memory");
  }
  return b;
}

uint32_t Bitmap::Pixel(int32_t x, int32_t y) const {
  if (format_ == Format::Mono1) return MonoRow(y)[x] ? 0xFFFFFFu : 0u;
  return Row(y)[x];
}

void Bitmap::SetPixel(int32_t x, int32_t y, uint32_t rgb) {
  if (format_ == Format::Mono1) {
    MonoRow(y)[x] = MonoFromRgb(rgb);
  } else {
    Row(y)[x] = rgb & 0xFFFFFF;
  }
}

void Bitmap::Fill(uint32_t rgb) {
  if (format_ == Format::Mono1) {
    std::fill(mono_.begin(), mono_.end(), MonoFromRgb(rgb));
  } else {
    std::fill(pixels_.begin(), pixels_.end(), rgb & 0xFFFFFF);
  }
}

uint8_t MonoFromRgb(uint32_t rgb) {
  const uint32_t sum = ((rgb >> 16) & 0xFF) + ((rgb >> 8) & 0xFF) + (rgb & 0xFF);
  return sum >= 383 ? 1 : 0;
}

}  // namespace slidesaver::gdi

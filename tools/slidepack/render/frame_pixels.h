#pragma once
// The screen as the writers take it: 32-bit pixels 0x00RRGGBB in rows, scaled to the output
// size when it differs, and the conversions to what encoders and image files hold.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "gdi/bitmap.h"

struct SwsContext;

namespace slidepack::render {

namespace gdi = slidesaver::gdi;

// A frame to write, with the part that changed since the previous one (empty: none).
struct FrameView {
  const uint32_t* pixels = nullptr;
  int32_t width = 0;
  int32_t height = 0;
  ptrdiff_t stride = 0;  // pixels from one row to the next
  gdi::Rect changed{};

  const uint32_t* Row(int32_t y) const { return pixels + y * stride; }
};

// The screen at the output size: as it is when the sizes match, else resized with Lanczos
// (libswscale). A resized frame counts as wholly changed whenever any of it changed.
class FrameScaler {
 public:
  FrameScaler(int32_t from_width, int32_t from_height, int32_t to_width, int32_t to_height);
  ~FrameScaler();
  FrameScaler(const FrameScaler&) = delete;
  FrameScaler& operator=(const FrameScaler&) = delete;

  FrameView Scale(const gdi::Bitmap& screen, const gdi::Rect& changed);

 private:
  SwsContext* context_ = nullptr;
  int32_t width_, height_;
  gdi::Bitmap scaled_;
};

// Planar 8-bit YUV 4:2:0 (BT.601, limited range) of rows `top` to `bottom` (exclusive; `top`
// even) of the frame, into planes whose first row is the frame's first.
void ConvertToI420(const FrameView& frame, int32_t top, int32_t bottom, uint8_t* const planes[3],
                   const int strides[3]);
// R, G, B bytes per pixel.
void ConvertToRgb(const FrameView& frame, uint8_t* rgb, int stride);
// R, G, B, A bytes per pixel, opaque.
void ConvertToRgba(const FrameView& frame, uint8_t* rgba, int stride);

}  // namespace slidepack::render

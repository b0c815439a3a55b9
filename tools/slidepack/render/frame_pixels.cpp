#include "tools/slidepack/render/frame_pixels.h"

extern "C" {
#include <libswscale/swscale.h>
}
#include <libyuv.h>

#include "tools/slidepack/slidepack_error.h"

namespace slidepack::render {

FrameScaler::FrameScaler(int32_t from_width, int32_t from_height, int32_t to_width,
                         int32_t to_height)
    : width_(to_width), height_(to_height) {
  if (from_width == to_width && from_height == to_height) return;
  // 0x00RRGGBB in memory order is B, G, R, unused.
  context_ =
      sws_getContext(from_width, from_height, AV_PIX_FMT_BGR0, to_width, to_height, AV_PIX_FMT_BGR0,
                     SWS_LANCZOS | SWS_ACCURATE_RND, nullptr, nullptr, nullptr);
  if (!context_) throw SlidepackError("cannot resize the frames to the size asked for");
  scaled_ = gdi::Bitmap::Color(to_width, to_height);
}

FrameScaler::~FrameScaler() { sws_freeContext(context_); }

FrameView FrameScaler::Scale(const gdi::Bitmap& screen, const gdi::Rect& changed) {
  if (!context_) {
    return {screen.Row(0), screen.Width(), screen.Height(), screen.Width(), changed};
  }
  if (!changed.Empty()) {
    const uint8_t* source[4] = {reinterpret_cast<const uint8_t*>(screen.Row(0))};
    const int source_stride[4] = {screen.Width() * 4};
    uint8_t* target[4] = {reinterpret_cast<uint8_t*>(scaled_.Row(0))};
    const int target_stride[4] = {width_ * 4};
    sws_scale(context_, source, source_stride, 0, screen.Height(), target, target_stride);
  }
  const gdi::Rect whole = changed.Empty() ? gdi::Rect{} : gdi::Rect{0, 0, width_, height_};
  return {scaled_.Row(0), width_, height_, width_, whole};
}

void ConvertToI420(const FrameView& frame, int32_t top, int32_t bottom, uint8_t* const planes[3],
                   const int strides[3]) {
  if (bottom <= top) return;
  libyuv::ARGBToI420(reinterpret_cast<const uint8_t*>(frame.Row(top)),
                     static_cast<int>(frame.stride * 4), planes[0] + top * strides[0], strides[0],
                     planes[1] + top / 2 * strides[1], strides[1], planes[2] + top / 2 * strides[2],
                     strides[2], frame.width, bottom - top);
}

void ConvertToRgb(const FrameView& frame, uint8_t* rgb, int stride) {
  // libyuv names formats by their value in a little-endian word: its RAW is R, G, B in memory.
  libyuv::ARGBToRAW(reinterpret_cast<const uint8_t*>(frame.pixels),
                    static_cast<int>(frame.stride * 4), rgb, stride, frame.width, frame.height);
}

void ConvertToRgba(const FrameView& frame, uint8_t* rgba, int stride) {
  libyuv::ARGBToABGR(reinterpret_cast<const uint8_t*>(frame.pixels),
                     static_cast<int>(frame.stride * 4), rgba, stride, frame.width, frame.height);
  for (int32_t y = 0; y < frame.height; ++y) {
    uint8_t* row = rgba + static_cast<ptrdiff_t>(y) * stride;
    for (int32_t x = 0; x < frame.width; ++x) row[x * 4 + 3] = 0xFF;
  }
}

}  // namespace slidepack::render

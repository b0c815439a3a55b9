#pragma once
// A frame in at most 256 colours for GIF: libimagequant chooses the palette for the frame and
// dithers the pixels onto it.
#include <cstdint>

#include "tools/slidepack/render/frame_pixels.h"

namespace slidepack::render {

// One index byte per pixel in rows `stride` bytes apart; the 256 palette entries as
// 0xAARRGGBB (the unused ones opaque black).
void QuantizeFrame(const FrameView& frame, uint8_t* indices, int stride, uint32_t palette[256]);

}  // namespace slidepack::render

#pragma once
// A colour-keyed copy of a rectangle between two device contexts, built from raster
// operations through a monochrome mask.
#include <cstdint>

#include "gdi/dc.h"
#include "gdi/painter.h"

namespace slidesaver::gdi {

// Copies the width × height rectangle at (source_x, source_y) of source to (x, y) of
// destination, except the source pixels whose colour equals color_key (0x00BBGGRR): there
// the destination keeps its pixels. Width × height × 3 beyond the 32-bit range, or a height
// of −2^31, is an overflow RunTimeError. Source pixels outside the source's bitmap come out
// black, as the platform's blits leave them.
// The blits go through `painter`.
void DrawTransparent(Painter& painter, Dc& destination, int32_t x, int32_t y, int32_t width,
                     int32_t height, Dc& source, int32_t source_x, int32_t source_y,
                     ColorRef color_key);

}  // namespace slidesaver::gdi

#pragma once
// Pixels between the drawing layer's colour images and an SDL surface, both ways, through one
// copy of the rows: plain where the surface keeps 32-bit pixels as the images do, else by SDL's
// conversion.
#include <SDL.h>

#include "gdi/bitmap.h"

namespace slidesaver::linux_platform {

// Whether the surface keeps its pixels as the images do (0x00RRGGBB in 32 bits; the alpha byte
// of ARGB8888 unused), so that they can be written as they are.
bool SurfaceKeptAsImages(const SDL_Surface& surface);

// `part` of `image` (inside it) to the surface, its top-left corner at (x, y); the rectangle
// must lie inside the surface.
void CopyImageToSurface(const gdi::Bitmap& image, const gdi::Rect& part, SDL_Surface& surface,
                        int32_t x, int32_t y);

// `part` of the surface (inside it) to `image`, at the image's top-left corner; the image holds
// at least `part`'s size.
void CopySurfaceToImage(SDL_Surface& surface, const gdi::Rect& part, gdi::Bitmap& image);

}  // namespace slidesaver::linux_platform

#include "platform/linux/sdl/surface_pixels.h"

#include <cstring>

#include "platform/linux/sdl/sdl_owned.h"

namespace slidesaver::linux_platform {
namespace {

// How a colour image keeps its pixels: 0x00RRGGBB.
constexpr uint32_t kImageFormat = SDL_PIXELFORMAT_RGB888;

template <typename Byte>  // const when only read
struct PixelRows {
  Byte* first;  // the rectangle's first pixel
  int pitch;    // bytes from one row to the next
  uint32_t format;
};

bool KeptAsImages(uint32_t format) {
  return format == SDL_PIXELFORMAT_RGB888 || format == SDL_PIXELFORMAT_ARGB8888;
}

template <typename FromByte>
void CopyRows(PixelRows<FromByte> from, PixelRows<uint8_t> to, int32_t width, int32_t height) {
  if (KeptAsImages(from.format) && KeptAsImages(to.format)) {
    for (int32_t y = 0; y < height; ++y) {
      std::memcpy(to.first + static_cast<size_t>(y) * to.pitch,
                  from.first + static_cast<size_t>(y) * from.pitch, static_cast<size_t>(width) * 4);
    }
  } else {
    SDL_ConvertPixels(width, height, from.format, from.first, from.pitch, to.format, to.first,
                      to.pitch);
  }
}

PixelRows<uint8_t> SurfaceRows(SDL_Surface& surface, int32_t x, int32_t y) {
  return {static_cast<uint8_t*>(surface.pixels) + static_cast<size_t>(y) * surface.pitch +
              static_cast<size_t>(x) * surface.format->BytesPerPixel,
          surface.pitch, surface.format->format};
}

PixelRows<const uint8_t> ImageRows(const gdi::Bitmap& image, int32_t x, int32_t y) {
  return {reinterpret_cast<const uint8_t*>(image.Row(y) + x), image.Width() * 4, kImageFormat};
}

PixelRows<uint8_t> ImageRows(gdi::Bitmap& image, int32_t x, int32_t y) {
  return {reinterpret_cast<uint8_t*>(image.Row(y) + x), image.Width() * 4, kImageFormat};
}

}  // namespace

bool SurfaceKeptAsImages(const SDL_Surface& surface) {
  return KeptAsImages(surface.format->format) && surface.pitch % 4 == 0;
}

void CopyImageToSurface(const gdi::Bitmap& image, const gdi::Rect& part, SDL_Surface& surface,
                        int32_t x, int32_t y) {
  const SurfaceLock lock(surface);
  CopyRows(ImageRows(image, part.left, part.top), SurfaceRows(surface, x, y), part.Width(),
           part.Height());
}

void CopySurfaceToImage(SDL_Surface& surface, const gdi::Rect& part, gdi::Bitmap& image) {
  const SurfaceLock lock(surface);
  CopyRows(SurfaceRows(surface, part.left, part.top), ImageRows(image, 0, 0), part.Width(),
           part.Height());
}

}  // namespace slidesaver::linux_platform

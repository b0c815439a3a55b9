#include "demo_canvas.h"

#include <SDL.h>
#include <SDL_image.h>

namespace demo {

Rgb Hsv(double h, double s, double v) {
  h = (h - std::floor(h)) * 6;
  const int sector = static_cast<int>(h) % 6;
  const double f = h - std::floor(h);
  const double p = v * (1 - s), q = v * (1 - s * f), t = v * (1 - s * (1 - f));
  switch (sector) {
    case 0:
      return {v, t, p};
    case 1:
      return {q, v, p};
    case 2:
      return {p, v, t};
    case 3:
      return {p, q, v};
    case 4:
      return {t, p, v};
    default:
      return {v, p, q};
  }
}

Rgb CosinePalette(double t, Rgb a, Rgb b, Rgb c, Rgb d) {
  constexpr double kTau = 6.283185307179586;
  return {a.r + b.r * std::cos(kTau * (c.r * t + d.r)),
          a.g + b.g * std::cos(kTau * (c.g * t + d.g)),
          a.b + b.b * std::cos(kTau * (c.b * t + d.b))};
}

Canvas::Canvas(int width, int height, uint32_t background_rgb)
    : width_(width),
      height_(height),
      background_(background_rgb),
      pixels_(static_cast<size_t>(width) * height, background_rgb) {}

void Canvas::Paint(const Painter& painter, int samples) {
  const Rgb background = Hex(background_);
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      Rgb sum;
      int painted = 0;
      for (int sy = 0; sy < samples; ++sy) {
        for (int sx = 0; sx < samples; ++sx) {
          const std::optional<Rgb> colour =
              painter(x + (sx + 0.5) / samples, y + (sy + 0.5) / samples);
          sum = sum + colour.value_or(background);
          painted += colour.has_value();
        }
      }
      uint32_t& pixel = pixels_[static_cast<size_t>(y) * width_ + x];
      if (painted == 0) {
        pixel = background_;
        continue;
      }
      const Rgb mean = sum * (1.0 / (samples * samples));
      auto channel = [](double v) { return static_cast<uint32_t>(Clamp01(v) * 255 + 0.5); };
      pixel = channel(mean.r) << 16 | channel(mean.g) << 8 | channel(mean.b);
    }
  }
}

size_t Canvas::BackgroundPixels() const {
  size_t count = 0;
  for (const uint32_t pixel : pixels_) count += pixel == background_;
  return count;
}

std::string Canvas::SaveJpeg(const std::string& path, int quality, bool keep_background) const {
  SDL_Surface* surface =
      SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(pixels_.data()), width_, height_, 32,
                                         width_ * 4, SDL_PIXELFORMAT_XRGB8888);
  if (surface == nullptr) return SDL_GetError();
  const int saved = IMG_SaveJPG(surface, path.c_str(), quality);
  SDL_FreeSurface(surface);
  if (saved != 0) return path + ": " + IMG_GetError();
  if (!keep_background) return "";

  SDL_Surface* loaded = IMG_Load(path.c_str());
  if (loaded == nullptr) return path + ": " + IMG_GetError();
  SDL_Surface* decoded = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_XRGB8888, 0);
  SDL_FreeSurface(loaded);
  if (decoded == nullptr) return SDL_GetError();
  size_t kept = 0;
  for (int y = 0; y < height_; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(
        static_cast<const uint8_t*>(decoded->pixels) + static_cast<size_t>(y) * decoded->pitch);
    for (int x = 0; x < width_; ++x) {
      kept += pixels_[static_cast<size_t>(y) * width_ + x] == background_ &&
              (row[x] & 0xFFFFFF) == background_;
    }
  }
  SDL_FreeSurface(decoded);
  // JPEG keeps flat areas of this colour exact except in blocks that touch a shape.
  if (kept * 2 < BackgroundPixels()) {
    return path + ": only " + std::to_string(kept) + " of " + std::to_string(BackgroundPixels()) +
           " background pixels survived the JPEG encoding";
  }
  return "";
}

}  // namespace demo

#pragma once
// A small software canvas for the demo pictures: each picture is a function from a pixel
// position to a colour, sampled a few times per pixel for smooth edges.
#include <cmath>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace demo {

struct Rgb {
  double r = 0, g = 0, b = 0;  // 0 to 1
};

inline Rgb operator+(Rgb a, Rgb b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
inline Rgb operator*(Rgb a, double k) { return {a.r * k, a.g * k, a.b * k}; }
inline Rgb Mix(Rgb a, Rgb b, double t) { return a * (1 - t) + b * t; }
inline double Clamp01(double v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }
inline double SmoothStep(double edge0, double edge1, double v) {
  const double t = Clamp01((v - edge0) / (edge1 - edge0));
  return t * t * (3 - 2 * t);
}
inline Rgb Hex(uint32_t rgb) {
  return {((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0};
}
// Hue, saturation and value from 0 to 1.
Rgb Hsv(double h, double s, double v);
// A smooth cyclic palette: a + b cos(2 pi (c t + d)), per channel.
Rgb CosinePalette(double t, Rgb a, Rgb b, Rgb c, Rgb d);

// nullopt paints the exact background colour (the colour key of transparent slides).
using Painter = std::function<std::optional<Rgb>(double x, double y)>;

class Canvas {
 public:
  Canvas(int width, int height, uint32_t background_rgb);

  // `samples` per axis per pixel: 1 for fields that are smooth anyway, 2 or 3 for shapes.
  void Paint(const Painter& painter, int samples);

  int width() const { return width_; }
  int height() const { return height_; }
  // Pixels left exactly at the background colour.
  size_t BackgroundPixels() const;

  // Writes a JPEG; returns an error text, empty on success. With `keep_background`, checks
  // that the decoded file still holds most background pixels exactly, as a colour key needs.
  std::string SaveJpeg(const std::string& path, int quality, bool keep_background) const;

 private:
  int width_;
  int height_;
  uint32_t background_;
  std::vector<uint32_t> pixels_;  // 0x00RRGGBB
};

// Deterministic pseudo-random numbers, the same on every machine.
class Random {
 public:
  explicit Random(uint32_t seed) : state_(seed * 2654435761u + 1) {}
  double Next() {  // 0 to 1
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return (state_ & 0xFFFFFF) / double(0x1000000);
  }
  double Range(double lo, double hi) { return lo + (hi - lo) * Next(); }

 private:
  uint32_t state_;
};

}  // namespace demo

#include "demo_pictures.h"

#include <algorithm>

namespace demo {

namespace {

constexpr double kPi = 3.141592653589793;

// Smooth value noise and its sum over octaves, for ridges, dunes and clouds.
double Lattice(int x, int y, uint32_t seed) {
  uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u +
               seed * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  return ((h ^ (h >> 16)) & 0xFFFF) / 65535.0;
}

double Noise(double x, double y, uint32_t seed) {
  const int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
  const double fx = x - ix, fy = y - iy;
  const double sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
  const double top = Lattice(ix, iy, seed) * (1 - sx) + Lattice(ix + 1, iy, seed) * sx;
  const double bottom = Lattice(ix, iy + 1, seed) * (1 - sx) + Lattice(ix + 1, iy + 1, seed) * sx;
  return top * (1 - sy) + bottom * sy;
}

double Fbm(double x, double y, uint32_t seed, int octaves = 5) {
  double sum = 0, amplitude = 0.5;
  for (int i = 0; i < octaves; ++i) {
    sum += amplitude * Noise(x, y, seed + i);
    x *= 2.03, y *= 2.03, amplitude *= 0.5;
  }
  return sum;
}

// Vertical gradient through several colours at the given positions (0 to 1).
Rgb Gradient(double t, std::initializer_list<std::pair<double, uint32_t>> stops) {
  auto previous = *stops.begin();
  for (const auto& stop : stops) {
    if (t <= stop.first) {
      if (stop.first == previous.first) return Hex(stop.second);
      return Mix(Hex(previous.second), Hex(stop.second),
                 (t - previous.first) / (stop.first - previous.first));
    }
    previous = stop;
  }
  return Hex(previous.second);
}

Rgb Rainbow(double t) {
  return CosinePalette(t, {0.5, 0.5, 0.5}, {0.5, 0.5, 0.5}, {1, 1, 1}, {0.0, 0.33, 0.67});
}
Rgb Warm(double t) {
  return CosinePalette(t, {0.5, 0.5, 0.5}, {0.5, 0.5, 0.5}, {1, 1, 0.5}, {0.8, 0.9, 0.3});
}
Rgb Ocean(double t) {
  return CosinePalette(t, {0.5, 0.5, 0.5}, {0.5, 0.5, 0.5}, {1, 0.7, 0.4}, {0.0, 0.15, 0.2});
}
Rgb Candy(double t) {
  return CosinePalette(t, {0.8, 0.5, 0.4}, {0.2, 0.4, 0.2}, {2, 1, 1}, {0.0, 0.25, 0.25});
}

// Escape-time colouring of z^2 + c, smoothed; nullopt-free: the inside is `inside`.
Rgb Escape(double zx, double zy, double cx, double cy, int limit, Rgb inside,
           Rgb (*palette)(double)) {
  for (int i = 0; i < limit; ++i) {
    const double x2 = zx * zx, y2 = zy * zy;
    if (x2 + y2 > 256) {
      const double smooth = i + 1 - std::log2(std::log2(x2 + y2) / 2);
      return palette(smooth / 40.0);
    }
    zy = 2 * zx * zy + cy;
    zx = x2 - y2 + cx;
  }
  return inside;
}

struct Circle {
  double x, y, r;
  Rgb colour;
};

std::vector<Circle> RandomCircles(uint32_t seed, int count, double width, double height,
                                  double min_r, double max_r) {
  Random random(seed);
  std::vector<Circle> circles;
  for (int i = 0; i < count; ++i) {
    const double r = random.Range(min_r, max_r);
    circles.push_back({random.Range(r, width - r), random.Range(r, height - r), r,
                       Hsv(random.Next(), random.Range(0.45, 0.8), random.Range(0.8, 1.0))});
  }
  return circles;
}

// Signed distance to a rounded box centred at the origin.
double RoundedBox(double x, double y, double half_w, double half_h, double radius) {
  const double qx = std::abs(x) - half_w + radius, qy = std::abs(y) - half_h + radius;
  return std::hypot(std::max(qx, 0.0), std::max(qy, 0.0)) + std::min(std::max(qx, qy), 0.0) -
         radius;
}

// A five-pointed star of outer radius r around the origin.
bool InStar(double x, double y, double r, double turn) {
  const double angle = std::atan2(y, x) + turn;
  const double sector = 2 * kPi / 5;
  double a = std::fmod(angle, sector);
  if (a < 0) a += sector;
  a = std::abs(a - sector / 2);
  const double inner = r * 0.45;
  // The star's edge between an outer point (angle 0) and an inner corner (angle sector / 2).
  const double px = r * std::cos(sector / 2), py = r * std::sin(sector / 2);
  const double ix = inner, iy = 0;
  const double d = std::hypot(x, y);
  const double qx = d * std::cos(a), qy = d * std::sin(a);
  const double cross = (px - ix) * (qy - iy) - (py - iy) * (qx - ix);
  return cross >= 0;
}

}  // namespace

std::vector<PictureSpec> DemoPictures() {
  std::vector<PictureSpec> list;
  auto add = [&](const std::string& file, int width, int height, bool keyed, int samples,
                 Painter painter) {
    list.push_back({file, width, height, keyed, samples, std::move(painter)});
  };

  add("01-sunset.jpg", 800, 600, false, 2, [](double x, double y) -> std::optional<Rgb> {
    Rgb sky = Gradient(y / 600, {{0, 0x2B1055}, {0.4, 0xD4418E}, {0.66, 0xFFB25B}});
    const double d = std::hypot(x - 400, y - 380);
    sky = sky + Hex(0xFF9A3C) * (0.6 * std::exp(-d / 90));
    if (d < 70) sky = Mix(sky, Hex(0xFFF1A8), SmoothStep(70, 66, d));
    if (y > 420 + 30 * std::sin(x / 90) + 15 * std::sin(x / 37 + 1)) sky = Hex(0x3A1C4A);
    if (y > 480 + 25 * std::sin(x / 140 + 2)) sky = Hex(0x1C0F2E);
    return sky;
  });
  add("02-rings.jpg", 640, 480, false, 1, [](double x, double y) -> std::optional<Rgb> {
    const double d = std::hypot(x - 224, y - 216), a = std::atan2(y - 216, x - 224);
    return Rainbow(d / 90 + 0.08 * std::sin(a * 3));
  });
  add("03-plasma.jpg", 800, 600, false, 1, [](double x, double y) -> std::optional<Rgb> {
    const double v = std::sin(x / 43) + std::sin(y / 31) + std::sin((x + y) / 57) +
                     std::sin(std::hypot(x - 400, y - 300) / 37);
    return Warm(v / 8 + 0.5);
  });
  add("04-mandelbrot.jpg", 800, 600, false, 1, [](double x, double y) -> std::optional<Rgb> {
    const double cx = -0.65 + (x - 400) * 3.0 / 800, cy = (y - 300) * 3.0 / 800;
    return Escape(0, 0, cx, cy, 200, Hex(0x0B1020), Ocean);
  });
  add("05-waves.jpg", 800, 600, false, 2, [](double x, double y) -> std::optional<Rgb> {
    if (y < 270) return Gradient(y / 270, {{0, 0x6CB4E4}, {1, 0xFDF6E3}});
    for (int k = 7; k >= 0; --k) {
      const double edge = 270 + k * 42 + 12 * std::sin(x / (60 + k * 11) + k * 1.7);
      if (y >= edge) {
        Rgb sea = Mix(Hex(0x4FA3D1), Hex(0x0B2545), k / 7.0);
        return Mix(sea, Hex(0xE8F6FF), 0.6 * SmoothStep(4, 0, y - edge));
      }
    }
    return Hex(0xBFE3F2);
  });
  add("06-mountains.jpg", 800, 600, false, 2, [](double x, double y) -> std::optional<Rgb> {
    Rgb colour = Gradient(y / 600, {{0, 0x9FC5E8}, {0.6, 0xF6E7D8}});
    for (int i = 0; i < 5; ++i) {
      const double ridge = 600 * (0.34 + 0.12 * i) - 170 * Fbm(x / 260 + i * 3.1, i * 0.7, 7 + i);
      if (y >= ridge) {
        colour = Mix(Hex(0x8AA6C1), Hex(0x1F3A4D), i / 4.0);
        colour = colour * (0.9 + 0.1 * Fbm(x / 40, y / 40, 21 + i, 3));
      }
    }
    return colour;
  });
  {
    const auto bubbles = RandomCircles(7, 38, 800, 600, 18, 70);
    add("07-bubbles.jpg", 800, 600, true, 3, [bubbles](double x, double y) -> std::optional<Rgb> {
      for (auto it = bubbles.rbegin(); it != bubbles.rend(); ++it) {
        const double dx = x - it->x, dy = y - it->y, d = std::hypot(dx, dy);
        if (d > it->r) continue;
        const double light = std::hypot(dx + it->r * 0.35, dy + it->r * 0.35) / (it->r * 1.4);
        Rgb colour = Mix(Hex(0xFFFFFF), it->colour, SmoothStep(0.0, 0.5, light));
        return colour * (1.0 - 0.3 * SmoothStep(0.8, 1.0, d / it->r));
      }
      return std::nullopt;
    });
  }
  add("08-stripes.jpg", 500, 500, false, 3, [](double x, double y) -> std::optional<Rgb> {
    const double u = x * std::cos(0.52) + y * std::sin(0.52);
    static const uint32_t kColours[] = {0xFF6F91, 0xFFC75F, 0xF9F871, 0x00C9A7, 0x845EC2};
    return Hex(kColours[static_cast<int>(std::floor(std::max(u, 0.0) / 28)) % 5]);
  });
  add("09-checker.jpg", 600, 450, false, 2, [](double x, double y) -> std::optional<Rgb> {
    const double u = x * std::cos(0.26) - y * std::sin(0.26),
                 v = x * std::sin(0.26) + y * std::cos(0.26);
    const bool dark =
        (static_cast<int>(std::floor(u / 50)) + static_cast<int>(std::floor(v / 50))) & 1;
    return Hsv((x + y) / 1400 + 0.55, 0.55, dark ? 0.55 : 0.95);
  });
  {
    Random random(10);
    std::vector<std::pair<double, double>> seeds;
    for (int i = 0; i < 30; ++i) seeds.emplace_back(random.Range(0, 800), random.Range(0, 600));
    add("10-voronoi.jpg", 800, 600, false, 2, [seeds](double x, double y) -> std::optional<Rgb> {
      double best = 1e9, second = 1e9;
      size_t index = 0;
      for (size_t i = 0; i < seeds.size(); ++i) {
        const double d = std::hypot(x - seeds[i].first, y - seeds[i].second);
        if (d < best)
          second = best, best = d, index = i;
        else if (d < second)
          second = d;
      }
      const Rgb cell = Hsv(index * 0.618034, 0.35, 0.95) * (1 - 0.25 * best / 200);
      return Mix(Hex(0x2E2A3A), cell, SmoothStep(1.5, 3.5, second - best));
    });
  }
  add("11-night.jpg", 800, 600, false, 2, [](double x, double y) -> std::optional<Rgb> {
    Rgb sky = Gradient(y / 600, {{0, 0x0B0F2E}, {1, 0x2B2F77}});
    const int cx = static_cast<int>(x / 6), cy = static_cast<int>(y / 6);
    if (Lattice(cx, cy, 3) > 0.985 && std::hypot(x - cx * 6 - 3, y - cy * 6 - 3) < 1.2) {
      sky = Mix(sky, Hex(0xFFFFFF), 0.6 + 0.4 * Lattice(cx, cy, 4));
    }
    const double d = std::hypot(x - 600, y - 150);
    sky = sky + Hex(0x6070A0) * (0.35 * std::exp(-d / 80));
    if (d < 60 && std::hypot(x - 625, y - 135) > 52) sky = Hex(0xFFFBE0);
    if (y > 540 + 20 * std::sin(x / 70)) sky = Hex(0x090B1C);
    return sky;
  });
  add("12-spiral.jpg", 600, 600, false, 2, [](double x, double y) -> std::optional<Rgb> {
    const double r = std::hypot(x - 300, y - 300) + 1, a = std::atan2(y - 300, x - 300);
    const double t = a / (2 * kPi) * 3 + std::log(r) * 1.6;
    const double band = 0.5 + 0.5 * std::sin(t * 2 * kPi);
    return Mix(Candy(r / 500), Ocean(r / 400 + 0.3), band) * SmoothStep(0, 60, r);
  });
  add("13-hexagons.jpg", 800, 600, false, 2, [](double x, double y) -> std::optional<Rgb> {
    const double size = 38;
    // Axial coordinates of the hexagon holding (x, y), pointy-top layout.
    const double q = (std::sqrt(3.0) / 3 * x - y / 3) / size, r = (2.0 / 3 * y) / size;
    double rx = std::round(q), rz = std::round(r), ry = std::round(-q - r);
    const double dx = std::abs(rx - q), dz = std::abs(rz - r), dy = std::abs(ry + q + r);
    if (dx > dy && dx > dz)
      rx = -ry - rz;
    else if (dy <= dz)
      rz = -rx - ry;
    const double hx = size * std::sqrt(3.0) * (rx + rz / 2), hy = size * 1.5 * rz;
    const double ex = std::abs(x - hx), ey = std::abs(y - hy);
    const double edge =
        std::max(ex / 2 + ey * std::sqrt(3.0) / 2, ex) / (size * std::sqrt(3.0) / 2);
    const Rgb fill = Hsv(0.5 + hx / 2400 + hy / 3000, 0.6, 0.9);
    return Mix(fill, Hex(0x1B1F3B), SmoothStep(0.86, 0.93, edge));
  });
  add("14-aurora.jpg", 800, 600, false, 1, [](double x, double y) -> std::optional<Rgb> {
    Rgb sky = Gradient(y / 600, {{0, 0x020414}, {1, 0x0E1E3A}});
    const double centre = 230 + 60 * std::sin(x / 120) + 30 * std::sin(x / 47);
    const double spread = 50 + 30 * std::sin(x / 80 + 1);
    const double curtain = std::exp(-std::pow((y - centre) / spread, 2)) * (y < centre ? 1.0 : 0.5);
    const double streak = 0.6 + 0.4 * std::sin(x / 7 + 3 * std::sin(x / 31));
    sky = sky +
          Mix(Hex(0x3CFFB0), Hex(0xA66CFF), Clamp01((centre - y) / 120 + 0.3)) * (curtain * streak);
    const double tree = std::fmod(x, 36.0);
    if (y > 560 - 60 * (1 - std::abs(tree - 18) / 18) * Lattice(static_cast<int>(x / 36), 0, 9) ||
        y > 560) {
      sky = Hex(0x01030A);
    }
    return sky;
  });
  add("15-julia.jpg", 700, 525, false, 1, [](double x, double y) -> std::optional<Rgb> {
    return Escape((x - 350) * 3.2 / 700, (y - 262.5) * 3.2 / 700, -0.8, 0.156, 220, Hex(0x120A1E),
                  Warm);
  });
  add("16-kaleidoscope.jpg", 560, 560, false, 2, [](double x, double y) -> std::optional<Rgb> {
    const double r = std::hypot(x - 280, y - 280);
    double a = std::atan2(y - 280, x - 280);
    const double sector = kPi / 6;
    a = std::abs(std::fmod(a + 2 * kPi, sector) - sector / 2);
    const double px = r * std::cos(a), py = r * std::sin(a);
    const double v = std::sin(px / 18) * std::cos(py / 11) + std::sin(r / 25);
    return Mix(Candy(v / 4 + 0.5), Hex(0x1A1030), SmoothStep(250, 280, r));
  });
  add("17-truchet.jpg", 800, 600, false, 3, [](double x, double y) -> std::optional<Rgb> {
    const double tile = 50;
    const int tx = static_cast<int>(x / tile), ty = static_cast<int>(y / tile);
    double u = x / tile - tx, v = y / tile - ty;
    if (Lattice(tx, ty, 17) > 0.5) u = 1 - u;
    const double d =
        std::min(std::abs(std::hypot(u, v) - 0.5), std::abs(std::hypot(u - 1, v - 1) - 0.5));
    const Rgb ground = Mix(Hex(0x14213D), Hex(0x3A0CA3), (x + y) / 1400);
    return d < 0.12 ? Mix(Hex(0xFCA311), Hex(0xF72585), y / 600) : ground;
  });
  add("18-triangles.jpg", 520, 450, true, 2, [](double x, double y) -> std::optional<Rgb> {
    // Pascal's triangle modulo 2: 64 rows of cells.
    const double cell_h = 450.0 / 64, cell_w = 520.0 / 64;
    const int row = static_cast<int>(y / cell_h);
    const double left = 260 - (row + 1) * cell_w / 2;
    const int k = static_cast<int>(std::floor((x - left) / cell_w));
    if (k < 0 || k > row || (k & (row - k)) != 0) return std::nullopt;
    return Mix(Hex(0xFFD166), Hex(0xEF476F), y / 450) * (0.85 + 0.15 * (x / 520));
  });
  add("19-tiles.jpg", 640, 400, false, 3, [](double x, double y) -> std::optional<Rgb> {
    const double cell = 80;
    const int cx = static_cast<int>(x / cell), cy = static_cast<int>(y / cell);
    const double d = RoundedBox(x - (cx + 0.5) * cell, y - (cy + 0.5) * cell, 34, 34, 12);
    if (d > 0) return Hex(0x2B2D42);
    return Rainbow((cx * 0.11 + cy * 0.17)) * (0.85 + 0.15 * SmoothStep(0, -20, d));
  });
  add("20-rainbow.jpg", 800, 600, false, 2, [](double x, double y) -> std::optional<Rgb> {
    Rgb sky = Gradient(y / 600, {{0, 0x4A90D9}, {1, 0xCDE7F7}});
    const double d = std::hypot(x - 400, y - 660);
    if (d > 380 && d < 520) sky = Mix(sky, Hsv((520 - d) / 140 * 0.8, 0.7, 1), 0.65);
    const double cloud = Fbm(x / 160, y / 90, 31);
    sky = Mix(sky, Hex(0xFFFFFF), SmoothStep(0.55, 0.75, cloud) * (1 - y / 600));
    if (y > 520 + 10 * std::sin(x / 50))
      sky = Hex(0x5C9E4A) * (0.8 + 0.2 * Fbm(x / 20, y / 20, 5, 2));
    return sky;
  });
  add("21-moire.jpg", 800, 600, false, 2, [](double x, double y) -> std::optional<Rgb> {
    const double a = std::sin(std::hypot(x - 300, y - 250) / 6),
                 b = std::sin(std::hypot(x - 520, y - 360) / 6);
    return Mix(Hex(0x0F4C5C), Hex(0xF5E6CC), 0.5 + 0.5 * a * b);
  });
  add("22-dunes.jpg", 800, 600, false, 2, [](double x, double y) -> std::optional<Rgb> {
    Rgb colour = Gradient(y / 600, {{0, 0xF9D29D}, {0.45, 0xFFF2D8}});
    for (int i = 0; i < 4; ++i) {
      const double ridge = 300 + i * 80 + 40 * std::sin(x / (150 + 40 * i) + i * 2.3);
      if (y >= ridge) {
        const double slope = std::cos(x / (150 + 40 * i) + i * 2.3);
        colour = Mix(Hex(0xE8A85F), Hex(0xA0522D), i / 3.0) * (0.85 + 0.15 * slope);
      }
    }
    return colour;
  });
  add("23-postcard.jpg", 320, 240, false, 2, [](double x, double y) -> std::optional<Rgb> {
    if (x < 10 || y < 10 || x > 310 || y > 230) return Hex(0xFBF8F0);
    Rgb colour = Gradient((y - 10) / 220,
                          {{0, 0xFF7E5F}, {0.55, 0xFEB47B}, {0.56, 0x2E86AB}, {1, 0x1B4965}});
    const double d = std::hypot(x - 160, y - 131);
    if (d < 36 && y < 131) colour = Hex(0xFFF3B0);
    if (y > 131 && std::abs(x - 160) < 30 - (y - 131) * 0.3 && std::sin(y * 1.3) > 0) {
      colour = Mix(colour, Hex(0xFFF3B0), 0.6);
    }
    return colour;
  });
  {
    Random random(24);
    struct Star {
      double x, y, r, turn;
      Rgb colour;
    };
    std::vector<Star> stars;
    for (int i = 0; i < 18; ++i) {
      stars.push_back({random.Range(50, 750), random.Range(50, 550), random.Range(18, 48),
                       random.Range(0, 1.3),
                       Hsv(random.Range(0.08, 0.17), random.Range(0.2, 0.8), 1)});
    }
    add("24-stars.jpg", 800, 600, true, 3, [stars](double x, double y) -> std::optional<Rgb> {
      for (const Star& star : stars) {
        if (std::hypot(x - star.x, y - star.y) <= star.r &&
            InStar(x - star.x, y - star.y, star.r, star.turn)) {
          return star.colour * (0.85 + 0.15 * (star.y - y) / star.r);
        }
      }
      return std::nullopt;
    });
  }
  add("25-halftone.jpg", 800, 600, false, 3, [](double x, double y) -> std::optional<Rgb> {
    const double u = (x + y) / std::sqrt(2.0), v = (x - y) / std::sqrt(2.0), cell = 20;
    const double cu = (std::floor(u / cell) + 0.5) * cell, cv = (std::floor(v / cell) + 0.5) * cell;
    const double size = 0.5 + 0.5 * std::sin(std::hypot(x - 400, y - 300) / 70);
    if (std::hypot(u - cu, v - cv) < 2 + 8 * size) return Hsv(0.95 - x / 2400, 0.7, 0.85);
    return Hex(0xFFF8E7);
  });
  add("26-rose.jpg", 600, 600, false, 3, [](double x, double y) -> std::optional<Rgb> {
    const double r = std::hypot(x - 300, y - 300), a = std::atan2(y - 300, x - 300);
    for (int layer = 2; layer >= 0; --layer) {
      const double radius = 270 - layer * 75;
      if (r < radius * std::abs(std::cos(4 * a + layer * 0.4))) {
        return Mix(Hex(0xFFB3C6), Hex(0xC9184A), layer / 2.0) * (0.75 + 0.25 * r / radius);
      }
    }
    return Gradient(y / 600, {{0, 0xD8F3DC}, {1, 0x95D5B2}});
  });
  {
    Random random(27);
    std::vector<Circle> balls;
    for (int i = 0; i < 8; ++i) {
      balls.push_back({random.Range(120, 680), random.Range(100, 500), random.Range(50, 90), {}});
    }
    add("27-lava.jpg", 800, 600, false, 2, [balls](double x, double y) -> std::optional<Rgb> {
      double field = 0;
      for (const Circle& ball : balls) {
        field += ball.r * ball.r / (std::pow(x - ball.x, 2) + std::pow(y - ball.y, 2) + 1);
      }
      if (field > 1) return Gradient(Clamp01((field - 1) / 3), {{0, 0xFF4800}, {1, 0xFFD000}});
      return Mix(Hex(0x240046), Hex(0x5A189A), field);
    });
  }
  add("28-weave.jpg", 800, 600, false, 2, [](double x, double y) -> std::optional<Rgb> {
    const double period = 48, band = 40;
    const double u = std::fmod(x, period), v = std::fmod(y, period);
    const int column = static_cast<int>(x / period), row = static_cast<int>(y / period);
    const bool in_vertical = u < band, in_horizontal = v < band;
    const bool vertical_on_top = (column + row) % 2 == 0;
    const Rgb vertical = Hex(0x2A9D8F) * (0.7 + 0.3 * std::sin(u / band * kPi));
    const Rgb horizontal = Hex(0xE9C46A) * (0.7 + 0.3 * std::sin(v / band * kPi));
    if (in_vertical && in_horizontal) return vertical_on_top ? vertical : horizontal;
    if (in_vertical) return vertical;
    if (in_horizontal) return horizontal;
    return Hex(0x264653);
  });
  add("29-pinwheel.jpg", 480, 480, false, 3, [](double x, double y) -> std::optional<Rgb> {
    const double r = std::hypot(x - 240, y - 240), a = std::atan2(y - 240, x - 240) + r / 300;
    const int sector = static_cast<int>(std::floor((a + kPi) / (2 * kPi) * 16));
    const Rgb colour =
        sector % 2 ? Hsv(sector / 16.0, 0.6, 0.95) : Hsv(sector / 16.0 + 0.5, 0.3, 0.4);
    if (r < 18) return Hex(0xFFFFFF);
    return Mix(colour, Hex(0x101018), SmoothStep(200, 240, r));
  });
  {
    const auto bokeh = RandomCircles(30, 25, 800, 600, 20, 80);
    add("30-bokeh.jpg", 800, 600, false, 2, [bokeh](double x, double y) -> std::optional<Rgb> {
      const double u = x / 800, v = y / 600;
      Rgb colour =
          Mix(Mix(Hex(0x355C7D), Hex(0x6C5B7B), u), Mix(Hex(0xC06C84), Hex(0xF67280), u), v);
      for (const Circle& c : bokeh) {
        const double d = std::hypot(x - c.x, y - c.y);
        colour = colour + c.colour * (0.18 * SmoothStep(c.r, c.r - 2, d));
      }
      return colour;
    });
  }
  add("31-ripples.jpg", 800, 600, false, 1, [](double x, double y) -> std::optional<Rgb> {
    const double d = std::hypot(x - 380, y - 280);
    const double wave = std::sin(d / 9) * std::exp(-d / 260);
    return Mix(Hex(0x023E8A), Hex(0x48CAE4), 0.45 + 0.45 * wave + 0.1 * y / 600);
  });
  {
    Random random(32);
    struct Piece {
      double x, y, w, h, angle;
      Rgb colour;
    };
    std::vector<Piece> pieces;
    for (int i = 0; i < 140; ++i) {
      pieces.push_back({random.Range(20, 780), random.Range(20, 580), random.Range(6, 14),
                        random.Range(3, 6), random.Range(0, kPi), Hsv(random.Next(), 0.75, 1)});
    }
    add("32-confetti.jpg", 800, 600, true, 3, [pieces](double x, double y) -> std::optional<Rgb> {
      for (const Piece& p : pieces) {
        const double dx = x - p.x, dy = y - p.y;
        if (std::abs(dx) > 16 || std::abs(dy) > 16) continue;
        const double u = dx * std::cos(p.angle) + dy * std::sin(p.angle);
        const double v = -dx * std::sin(p.angle) + dy * std::cos(p.angle);
        if (std::abs(u) < p.w && std::abs(v) < p.h) return p.colour;
      }
      return std::nullopt;
    });
  }
  add("33-tunnel.jpg", 800, 600, false, 1, [](double x, double y) -> std::optional<Rgb> {
    const double r = std::hypot(x - 400, y - 300) + 1, a = std::atan2(y - 300, x - 400);
    const double depth = 3000 / r, turn = a / kPi * 8;
    const bool light =
        (static_cast<int>(std::floor(depth / 4)) + static_cast<int>(std::floor(turn + 8))) & 1;
    const Rgb colour = light ? Hex(0x8ECAE6) : Hex(0x219EBC);
    return Mix(colour, Hex(0x023047), Clamp01(depth / 120));
  });
  add("34-circles.jpg", 700, 500, false, 2, [](double x, double y) -> std::optional<Rgb> {
    const double cell = 100;
    const int cx = static_cast<int>(x / cell), cy = static_cast<int>(y / cell);
    const double d = std::hypot(x - (cx + 0.5) * cell, y - (cy + 0.5) * cell);
    const int ring = static_cast<int>(d / 10);
    if (d > 46) return Hex(0xF4EBD9);
    static const uint32_t kColours[] = {0xE63946, 0xF1FAEE, 0xA8DADC, 0x457B9D, 0x1D3557};
    return Hex(kColours[(ring + cx + cy) % 5]);
  });
  add("35-dawn.jpg", 800, 600, false, 2, [](double x, double y) -> std::optional<Rgb> {
    if (y < 330) {
      Rgb sky = Gradient(y / 330, {{0, 0x1D2671}, {0.6, 0xC33764}, {1, 0xFFB88C}});
      const double d = std::hypot(x - 400, y - 330);
      if (d < 80) sky = Hex(0xFFE8A3);
      return sky + Hex(0xFF8C42) * (0.4 * std::exp(-d / 120));
    }
    Rgb sea = Gradient((y - 330) / 270, {{0, 0x8A3E6B}, {1, 0x1D2046}});
    const double shimmer = std::sin(y * 0.9 + std::sin(x / 13) * 2);
    if (std::abs(x - 400) < 90 - (y - 330) * 0.12 && shimmer > 0.3)
      sea = Mix(sea, Hex(0xFFE8A3), 0.7);
    return sea;
  });
  return list;
}

}  // namespace demo

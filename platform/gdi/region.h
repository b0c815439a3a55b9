#pragma once
// Clip regions: spans per row, right and bottom edges excluded.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/gdi/bitmap.h"

namespace slidesaver::gdi {

struct PolyPoint {
  int32_t x = 0, y = 0;
};

class Region {
 public:
  struct Span {
    int32_t left, right;  // half-open
  };
  static Region FromRect(int32_t left, int32_t top, int32_t right, int32_t bottom);
  // CreateEllipticRgn: the ellipse inscribed in the box.
  static Region Ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom);
  // CreatePolygonRgn: fill mode 1 ALTERNATE, 2 WINDING; 0 (and anything else) as 1.
  static Region Polygon(std::span<const PolyPoint> points, int fill_mode);

  bool Empty() const;
  Rect Bounds() const;
  int32_t Top() const { return top_; }
  // Spans of row y, sorted and disjoint; empty outside the region's rows.
  std::span<const Span> Row(int32_t y) const;
  bool Contains(int32_t x, int32_t y) const;

  // What created it, for call recordings ("CreateEllipticRgn(0,0,16,8)").
  const std::string& Description() const { return description_; }

 private:
  int32_t top_ = 0;
  std::vector<std::vector<Span>> rows_;
  std::string description_;
};

}  // namespace slidesaver::gdi

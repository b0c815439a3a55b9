#pragma once
// Clip regions: spans per row, right and bottom edges excluded.
#include <cstdint>
#include <span>
#include <vector>

#include "gdi/bitmap.h"

namespace slidesaver::gdi {

struct PolyPoint {
  int32_t x = 0, y = 0;
};

class Region {
 public:
  struct Span {
    int32_t left, right;  // half-open
    bool operator==(const Span&) const = default;
  };
  // A region may span at most this many rows and (for ellipses) columns; creating a larger
  // one fails as it does on the platform, and the region is empty.
  static constexpr int64_t kMaxExtent = int64_t{1} << 18;

  Region() = default;  // empty
  // CreateRectRgn: the corners in either order.
  static Region FromRect(int32_t left, int32_t top, int32_t right, int32_t bottom);
  // CreateEllipticRgn: the ellipse inscribed in the box, its right column and bottom row
  // excluded; boxes less than 3 pixels wide or high give the box itself less one column
  // and row. The corners may come in either order.
  static Region Ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom);
  // CreatePolygonRgn: fill mode 1 ALTERNATE, 2 WINDING; 0 (and anything else) as 1.
  // Row y holds the pixels x with x >= the polygon's left crossing of the line at height y
  // and x < its right crossing (edges include their upper end and exclude their lower end).
  static Region Polygon(std::span<const PolyPoint> points, int fill_mode);
  // A region from its rows: row top + i holds spans[row_begin[i] .. row_begin[i + 1]), each
  // row's spans sorted and disjoint.
  static Region FromRows(int32_t top, std::vector<uint32_t> row_begin, std::vector<Span> spans);

  bool Empty() const;
  Rect Bounds() const;
  int32_t Top() const { return top_; }
  // Spans of row y, sorted and disjoint; empty outside the region's rows.
  std::span<const Span> Row(int32_t y) const;
  bool Contains(int32_t x, int32_t y) const;

 private:
  // Takes rows top, top + 1, ...: row i holds spans[row_begin[i] .. row_begin[i + 1]).
  void SetRows(int32_t top, std::vector<uint32_t> row_begin, std::vector<Span> spans);

  int32_t top_ = 0;
  std::vector<uint32_t> row_begin_;  // spans_ index of each row, one more entry at the end
  std::vector<Span> spans_;
  Rect bounds_{};
};

}  // namespace slidesaver::gdi

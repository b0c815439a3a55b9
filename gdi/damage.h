#pragma once
// The pixels of a presented bitmap that changed since it was last presented, finer than one
// bounding box: per row a few column spans, handed out as rectangles in which neighbouring
// rows of like spans are joined.
#include <array>
#include <cstdint>
#include <vector>

#include "gdi/bitmap.h"

namespace slidesaver::gdi {

class Damage {
 public:
  // Spans of a row fewer than this many pixels apart are joined: sending the pixels between
  // costs less than another rectangle.
  static constexpr int32_t kJoinGap = 32;
  // A row holds at most this many spans; one more joins the two closest.
  static constexpr int kSpansPerRow = 4;

  // Columns left … right - 1 of row y changed. The caller keeps them inside the bitmap.
  // Additions are only noted (drawing calls them between the rows it writes, when the spans
  // per row are out of the cache) and sorted into the rows when the damage is taken.
  void Add(int32_t y, int32_t left, int32_t right) { AddRect({left, y, right, y + 1}); }
  void AddRect(const Rect& r);
  bool Empty() const { return pending_.empty() && top_ >= bottom_; }
  void Clear();
  // The damage as disjoint rectangles into `out` (replacing its content); the damage is empty
  // afterwards. Rows are joined into one rectangle while that adds at most an
  // eighth to the pixels it sends.
  void TakeRects(std::vector<Rect>& out);

 private:
  struct Span {
    int32_t left, right;
  };
  struct Row {
    int32_t count = 0;
    std::array<Span, kSpansPerRow> spans;
  };

  static void AddSpan(Row& row, int32_t left, int32_t right);

  void SortPending();

  // Noted additions; consecutive rows of one span stay one rectangle.
  std::vector<Rect> pending_;
  std::vector<Row> rows_;                         // by row, grown on demand
  int32_t top_ = INT32_MAX, bottom_ = INT32_MIN;  // the rows that hold spans
};

}  // namespace slidesaver::gdi

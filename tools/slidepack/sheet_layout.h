#pragma once
// Where everything lies on a contact sheet: a header line, then one row per slide with its
// number, the picture as shown (a thumbnail of the show area once the slide has come in), its
// stored name, time, effect and speed, and four frames of its transition at 20, 40, 60 and 80 %.
#include <cstddef>
#include <cstdint>

namespace slidepack {

struct SheetLayout {
  static constexpr int kPad = 8;
  static constexpr int kHeaderHeight = 44;
  static constexpr int kNumberWidth = 56;
  static constexpr int kTextWidth = 300;
  static constexpr int kFrames = 4;  // transition frames per row
  static constexpr int kMaxThumbHeight = 108;
  static constexpr int kMaxThumbWidth = 216;

  SheetLayout(int32_t show_width, int32_t show_height, size_t slides);

  int thumb_width;  // the show area's shape, within kMaxThumbWidth x kMaxThumbHeight
  int thumb_height;
  int row_height;
  int width;
  int height;

  int RowTop(size_t row) const { return kHeaderHeight + static_cast<int>(row) * row_height; }
  int ShownLeft() const { return kNumberWidth; }
  int TextLeft() const { return ShownLeft() + thumb_width + kPad; }
  // Frame k (0: at 20 %, 3: at 80 %).
  int FrameLeft(int k) const { return TextLeft() + kTextWidth + k * (thumb_width + kPad); }
  // A cell's top, inside its row.
  int CellTop(size_t row) const { return RowTop(row) + kPad; }
};

}  // namespace slidepack

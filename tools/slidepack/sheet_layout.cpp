#include "tools/slidepack/sheet_layout.h"

#include <algorithm>
#include <cmath>

namespace slidepack {

SheetLayout::SheetLayout(int32_t show_width, int32_t show_height, size_t slides) {
  const double aspect = static_cast<double>(show_width) / std::max(show_height, 1);
  thumb_height = kMaxThumbHeight;
  thumb_width = static_cast<int>(std::lround(thumb_height * aspect));
  if (thumb_width > kMaxThumbWidth) {
    thumb_width = kMaxThumbWidth;
    thumb_height = static_cast<int>(std::lround(thumb_width / aspect));
  }
  thumb_width = std::max(thumb_width, 1);
  thumb_height = std::max(thumb_height, 1);
  row_height = std::max(thumb_height, 64) + 2 * kPad;
  width = FrameLeft(kFrames);
  height = RowTop(slides);
}

}  // namespace slidepack

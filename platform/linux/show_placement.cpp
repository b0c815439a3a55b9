#include "platform/linux/show_placement.h"

#include <algorithm>

namespace slidesaver::linux_platform {

AreaPlacement PlaceArea(platform::ScreenSize window, int32_t area_width, int32_t area_height) {
  if (window.width <= 0 || window.height <= 0 || area_width <= 0 || area_height <= 0) return {};
  if (area_width <= window.width && area_height <= window.height) {
    const platform::Point origin = platform::CentredOrigin(window, area_width, area_height);
    return {{origin.x, origin.y, origin.x + area_width, origin.y + area_height}, false};
  }
  // The side that limits the scale fills the window; the other is rounded, at least 1 pixel.
  const int64_t w = area_width, h = area_height, ww = window.width, wh = window.height;
  int64_t fitted_w = ww, fitted_h = wh;
  if (ww * h <= wh * w) {
    fitted_h = std::max<int64_t>(1, (2 * h * ww + w) / (2 * w));
  } else {
    fitted_w = std::max<int64_t>(1, (2 * w * wh + h) / (2 * h));
  }
  const auto left = static_cast<int32_t>((ww - fitted_w) / 2);
  const auto top = static_cast<int32_t>((wh - fitted_h) / 2);
  return {{left, top, left + static_cast<int32_t>(fitted_w), top + static_cast<int32_t>(fitted_h)},
          true};
}

}  // namespace slidesaver::linux_platform

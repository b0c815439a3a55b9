#include "platform/linux/show_placement.h"

namespace slidesaver::linux_platform {

AreaPlacement PlaceArea(platform::ScreenSize window, int32_t area_width, int32_t area_height,
                        gdi::AreaFit fit) {
  if (window.width <= 0 || window.height <= 0 || area_width <= 0 || area_height <= 0) return {};
  const gdi::FittedSize size =
      gdi::FitAreaSize(window.width, window.height, area_width, area_height, fit);
  const bool scaled = size.width != area_width || size.height != area_height;
  // At its own size exactly where the screen would have it; scaled, the margins' halves.
  const platform::Point origin =
      scaled ? platform::Point{(window.width - size.width) / 2, (window.height - size.height) / 2}
             : platform::CentredOrigin(window, size.width, size.height);
  return {{origin.x, origin.y, origin.x + size.width, origin.y + size.height}, scaled};
}

}  // namespace slidesaver::linux_platform

#include "platform/area_placement.h"

namespace slidesaver::platform {

AreaPlacement PlaceArea(ScreenSize room, int32_t area_width, int32_t area_height,
                        gdi::AreaFit fit) {
  if (room.width <= 0 || room.height <= 0 || area_width <= 0 || area_height <= 0) return {};
  const gdi::FittedSize size =
      gdi::FitAreaSize(room.width, room.height, area_width, area_height, fit);
  const bool scaled = size.width != area_width || size.height != area_height;
  // At its own size exactly where the screen would have it; scaled, the margins' halves.
  const Point origin = scaled
                           ? Point{(room.width - size.width) / 2, (room.height - size.height) / 2}
                           : CentredOrigin(room, size.width, size.height);
  return {{origin.x, origin.y, origin.x + size.width, origin.y + size.height}, scaled};
}

AreaPlacement PlaceScaledArea(ScreenSize room, int32_t area_width, int32_t area_height,
                              gdi::AreaFit fit) {
  const AreaPlacement placement = PlaceArea(room, area_width, area_height, fit);
  if (!placement.scaled || (area_width <= gdi::AreaDownscale::kMaxSourceSide &&
                            area_height <= gdi::AreaDownscale::kMaxSourceSide)) {
    return placement;
  }
  const Point origin = CentredOrigin(room, area_width, area_height);
  return {{origin.x, origin.y, origin.x + area_width, origin.y + area_height}, false};
}

}  // namespace slidesaver::platform

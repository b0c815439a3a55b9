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

AreaPlacement PlaceScaledArea(platform::ScreenSize room, int32_t area_width, int32_t area_height,
                              gdi::AreaFit fit) {
  const AreaPlacement placement = PlaceArea(room, area_width, area_height, fit);
  if (!placement.scaled || (area_width <= gdi::AreaDownscale::kMaxSourceSide &&
                            area_height <= gdi::AreaDownscale::kMaxSourceSide)) {
    return placement;
  }
  const platform::Point origin = platform::CentredOrigin(room, area_width, area_height);
  return {{origin.x, origin.y, origin.x + area_width, origin.y + area_height}, false};
}

void FollowPlacement(const AreaPlacement& placement, int32_t area_width, int32_t area_height,
                     gdi::AreaFit fit, const gdi::Bitmap& shown,
                     std::optional<gdi::AreaScale>& scale, gdi::Bitmap& scaled) {
  const gdi::Rect& fitted = placement.on_window;
  if (!placement.scaled) {
    scale.reset();
    scaled = gdi::Bitmap();
    return;
  }
  if (scale && scale->TargetWidth() == fitted.Width() && scale->TargetHeight() == fitted.Height() &&
      scale->SourceWidth() == area_width && scale->SourceHeight() == area_height) {
    return;
  }
  scale.emplace(area_width, area_height, fitted.Width(), fitted.Height(),
                fit == gdi::AreaFit::Sharp);
  scaled = gdi::Bitmap::Color(fitted.Width(), fitted.Height());
  if (shown.Width() == area_width && shown.Height() == area_height) {
    scale->Scale(shown, {0, 0, fitted.Width(), fitted.Height()}, scaled);
  }
}

}  // namespace slidesaver::linux_platform

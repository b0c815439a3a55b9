#pragma once
// How a show window brings the show area's image to the pixels of its target (a window surface,
// a shared-memory buffer, a device-independent bitmap): the area at its placement, scaled by the
// fit's scaler when the placement is scaled, black around it. A changed rectangle of the image
// is written once, straight from the image into the target; the image is also where a repaint
// comes from, so the presenter keeps no copy of it. A window with several targets (an output
// each) has a presenter for each.
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "gdi/area_scale.h"
#include "gdi/bitmap.h"
#include "gdi/pixel_rows.h"
#include "platform/area_placement.h"

namespace slidesaver::platform {

class AreaPresenter {
 public:
  // The area, `area_width` × `area_height`, at `placement` in the target; scaled by the fit's
  // scaler when the placement is scaled (kept while no size changes). Without a call, or with an
  // empty placement, the target is all black.
  void Place(const AreaPlacement& placement, int32_t area_width, int32_t area_height,
             gdi::AreaFit fit);
  const AreaPlacement& Placement() const { return placement_; }

  // Into `out`: the target rectangles, inside `bounds`, that show the image's changed
  // rectangles (`damage`, image pixels): moved to the placement, or, scaled, the target pixels
  // that depend on them.
  void TargetRects(std::span<const gdi::Rect> damage, const gdi::Rect& bounds,
                   std::vector<gdi::Rect>& out) const;

  // Writes `rect` of the target (inside it): the image where the area lies, black elsewhere.
  // An image of another size than the area's lies at the area's corner, cut to the area;
  // scaled, or without an image, the area is black.
  void Write(const gdi::Bitmap* image, const gdi::Rect& rect, const gdi::PixelRows& target) const;

 private:
  // The target pixels that show the image, unscaled.
  gdi::Rect ImageOnTarget(const gdi::Bitmap& image) const;

  AreaPlacement placement_{};
  int32_t area_width_ = 0;
  int32_t area_height_ = 0;
  std::optional<gdi::AreaScale> scale_;
};

}  // namespace slidesaver::platform

#pragma once
// The one scaler a presenter uses to show the show area at another size: AreaDownscale when the
// target is smaller, AreaUpscale when it is larger, by the fit the user chose.
#include <cstdint>
#include <variant>

#include "gdi/area_downscale.h"
#include "gdi/area_upscale.h"
#include "gdi/bitmap.h"

namespace slidesaver::gdi {

// How the show area meets a screen or window larger than itself.
enum class AreaFit {
  OwnSize,  // its own size, centred ("none")
  Fill,     // the largest size that fits, aspect kept, smoothly enlarged
  Sharp,    // the largest whole factor that fits, each pixel a square block
};

// The fit's size for the area in a room (a screen or a window): each side at least 1. Whatever
// the fit, an area larger than the room is scaled down to fit, aspect kept.
struct FittedSize {
  int32_t width = 0;
  int32_t height = 0;
  bool operator==(const FittedSize&) const = default;
};
FittedSize FitAreaSize(int32_t room_width, int32_t room_height, int32_t area_width,
                       int32_t area_height, AreaFit fit);

class AreaScale {
 public:
  // Both target sides no larger than the source's: an area average. Both at least as large: a
  // whole multiple of the source on both sides with `sharp` repeats pixels, else bilinear.
  // Mixed or out-of-range sizes are an invalid-argument RunTimeError.
  AreaScale(int32_t source_width, int32_t source_height, int32_t target_width,
            int32_t target_height, bool sharp);

  int32_t SourceWidth() const;
  int32_t SourceHeight() const;
  int32_t TargetWidth() const;
  int32_t TargetHeight() const;
  // The target pixels that depend on the source rectangle.
  Rect TargetOf(const Rect& source_part) const;
  // Makes the target pixels of target_part from source (see AreaDownscale, AreaUpscale).
  void Scale(const Bitmap& source, const Rect& target_part, Bitmap& target) const;
  void Scale(const Bitmap& source, const Rect& target_part, const PixelRows& target) const;

 private:
  std::variant<AreaDownscale, AreaUpscale> scaler_;
};

}  // namespace slidesaver::gdi

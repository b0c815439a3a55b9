#include "gdi/area_scale.h"

#include <algorithm>

#include "common/run_time_error.h"

namespace slidesaver::gdi {
namespace {

std::variant<AreaDownscale, AreaUpscale> MakeScaler(int32_t sw, int32_t sh, int32_t tw, int32_t th,
                                                    bool sharp) {
  if (tw <= sw && th <= sh) return AreaDownscale(sw, sh, tw, th);
  if (tw < sw || th < sh) throw InvalidProcedureCallError();
  const bool whole = sw > 0 && sh > 0 && tw % sw == 0 && th % sh == 0 && tw / sw == th / sh;
  return AreaUpscale(sw, sh, tw, th,
                     sharp && whole ? AreaUpscale::Filter::Repeat : AreaUpscale::Filter::Bilinear);
}

}  // namespace

FittedSize FitAreaSize(int32_t room_width, int32_t room_height, int32_t area_width,
                       int32_t area_height, AreaFit fit) {
  if (room_width <= 0 || room_height <= 0 || area_width <= 0 || area_height <= 0) return {};
  const int64_t w = area_width, h = area_height, rw = room_width, rh = room_height;
  const bool fits = w <= rw && h <= rh;
  if (fit == AreaFit::OwnSize && fits) return {area_width, area_height};
  if (fit == AreaFit::Sharp && fits) {
    const int64_t factor = std::min(rw / w, rh / h);
    return {static_cast<int32_t>(w * factor), static_cast<int32_t>(h * factor)};
  }
  // The side that limits the scale fills the room; the other is rounded, at least 1 pixel.
  if (rw * h <= rh * w) {
    return {room_width, static_cast<int32_t>(std::max<int64_t>(1, (2 * h * rw + w) / (2 * w)))};
  }
  return {static_cast<int32_t>(std::max<int64_t>(1, (2 * w * rh + h) / (2 * h))), room_height};
}

AreaScale::AreaScale(int32_t source_width, int32_t source_height, int32_t target_width,
                     int32_t target_height, bool sharp)
    : scaler_(MakeScaler(source_width, source_height, target_width, target_height, sharp)) {}

int32_t AreaScale::SourceWidth() const {
  return std::visit([](const auto& s) { return s.SourceWidth(); }, scaler_);
}
int32_t AreaScale::SourceHeight() const {
  return std::visit([](const auto& s) { return s.SourceHeight(); }, scaler_);
}
int32_t AreaScale::TargetWidth() const {
  return std::visit([](const auto& s) { return s.TargetWidth(); }, scaler_);
}
int32_t AreaScale::TargetHeight() const {
  return std::visit([](const auto& s) { return s.TargetHeight(); }, scaler_);
}
Rect AreaScale::TargetOf(const Rect& source_part) const {
  return std::visit([&](const auto& s) { return s.TargetOf(source_part); }, scaler_);
}
void AreaScale::Scale(const Bitmap& source, const Rect& target_part, Bitmap& target) const {
  std::visit([&](const auto& s) { s.Scale(source, target_part, target); }, scaler_);
}
void AreaScale::Scale(const Bitmap& source, const Rect& target_part,
                      const PixelRows& target) const {
  std::visit([&](const auto& s) { s.Scale(source, target_part, target); }, scaler_);
}

}  // namespace slidesaver::gdi

#include "platform/area_presenter.h"

#include <cstring>

namespace slidesaver::platform {
namespace {

gdi::Rect Moved(const gdi::Rect& r, int32_t dx, int32_t dy) {
  return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

void Black(uint32_t* row, int32_t from, int32_t to) {
  if (to > from) std::memset(row + from, 0, static_cast<size_t>(to - from) * 4);
}

}  // namespace

void AreaPresenter::Place(const AreaPlacement& placement, int32_t area_width, int32_t area_height,
                          gdi::AreaFit fit) {
  placement_ = placement;
  area_width_ = area_width;
  area_height_ = area_height;
  const gdi::Rect& at = placement.on_target;
  if (!placement.scaled || at.Empty()) {
    scale_.reset();
    return;
  }
  if (scale_ && scale_->TargetWidth() == at.Width() && scale_->TargetHeight() == at.Height() &&
      scale_->SourceWidth() == area_width && scale_->SourceHeight() == area_height) {
    return;
  }
  scale_.emplace(area_width, area_height, at.Width(), at.Height(), fit == gdi::AreaFit::Sharp);
}

void AreaPresenter::TargetRects(std::span<const gdi::Rect> damage, const gdi::Rect& bounds,
                                std::vector<gdi::Rect>& out) const {
  out.clear();
  const gdi::Rect& at = placement_.on_target;
  if (at.Empty()) return;
  for (const gdi::Rect& rect : damage) {
    gdi::Rect part = gdi::Intersect(rect, {0, 0, area_width_, area_height_});
    if (part.Empty()) continue;
    if (scale_) part = scale_->TargetOf(part);
    part = gdi::Intersect(Moved(part, at.left, at.top), bounds);
    if (!part.Empty()) out.push_back(part);
  }
}

gdi::Rect AreaPresenter::ImageOnTarget(const gdi::Bitmap& image) const {
  const gdi::Rect& at = placement_.on_target;
  return gdi::Intersect(at, {at.left, at.top, at.left + image.Width(), at.top + image.Height()});
}

void AreaPresenter::Write(const gdi::Bitmap* image, const gdi::Rect& rect,
                          const gdi::PixelRows& target) const {
  const gdi::Rect bounds{0, 0, target.width, target.height};
  const gdi::Rect part = gdi::Intersect(rect, bounds);
  if (part.Empty()) return;
  const bool usable = image && image->GetFormat() == gdi::Bitmap::Format::Color32;
  gdi::Rect shown{};  // the target pixels the image gives
  if (usable && !scale_) {
    shown = gdi::Intersect(ImageOnTarget(*image), part);
  } else if (usable && image->Width() == scale_->SourceWidth() &&
             image->Height() == scale_->SourceHeight() &&
             gdi::Intersect(placement_.on_target, bounds) == placement_.on_target) {
    shown = gdi::Intersect(placement_.on_target, part);
  }
  for (int32_t y = part.top; y < part.bottom; ++y) {
    uint32_t* row = target.Row(y);
    if (shown.Empty() || y < shown.top || y >= shown.bottom) {
      Black(row, part.left, part.right);
      continue;
    }
    Black(row, part.left, shown.left);
    Black(row, shown.right, part.right);
    if (!scale_) {
      const gdi::Rect& at = placement_.on_target;
      std::memcpy(row + shown.left, image->Row(y - at.top) + (shown.left - at.left),
                  static_cast<size_t>(shown.Width()) * 4);
    }
  }
  if (scale_ && !shown.Empty()) {
    const gdi::Rect& at = placement_.on_target;
    scale_->Scale(*image, Moved(shown, -at.left, -at.top), target.Part(at));
  }
}

}  // namespace slidesaver::platform

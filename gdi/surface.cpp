#include "gdi/surface.h"

#include "common/run_time_error.h"
#include "gdi/raster.h"

namespace slidesaver::gdi {

Surface::Surface(Presenter* presenter) : presenter_(presenter) {
  dc_.SelectBitmap(&image_);
  if (presenter_) dc_.TrackDamage(&damage_);
  // Each destination pixel takes one source pixel; the default mode of a new context would
  // AND together the colours a shrink drops and darken the pictures.
  dc_.SetStretchBltMode(COLORONCOLOR);
}

void Surface::SetBackColor(ColorRef color) { back_color_ = color & 0xFFFFFF; }

void Surface::Clear() {
  const uint32_t rgb = RgbFromColorRef(back_color_);
  const Rect whole{0, 0, image_.Width(), image_.Height()};
  if (Damage* damage = dc_.TrackedDamage()) {
    for (int32_t y = 0; y < image_.Height(); ++y) {
      detail::FillChanged(image_, y, 0, image_.Width(), rgb, *damage);
    }
    dc_.MarkWritten(whole);
  } else {
    image_.Fill(rgb);
    dc_.MarkDirty(whole);
  }
}

void Surface::DrawPicture(const Bitmap& picture, int32_t x, int32_t y) {
  Dc source;
  source.SelectBitmap(const_cast<Bitmap*>(&picture));  // only read
  BitBlt(dc_, x, y, picture.Width(), picture.Height(), source, 0, 0, SRCCOPY);
}

void Surface::Move(int32_t left, int32_t top, int32_t width, int32_t height) {
  if (width < 0 || height < 0) throw InvalidProcedureCallError();
  left_ = left;
  top_ = top;
  if (width != image_.Width() || height != image_.Height()) {
    image_ = Bitmap::Color(width, height, RgbFromColorRef(back_color_));
    dc_.SelectBitmap(&image_);  // the old image's damage goes with it
    dc_.MarkDirty({0, 0, width, height});
  }
  if (presenter_) presenter_->Move(left, top, width, height);
}

void Surface::Refresh() {
  dc_.TakeDirty();
  if (!presenter_) return;
  damage_.TakeRects(damage_rects_);
  presenter_->Present(image_, damage_rects_);
}

void Surface::SetPicture(Bitmap picture) {
  const bool resized = picture.Width() != image_.Width() || picture.Height() != image_.Height();
  image_ = std::move(picture);
  dc_.SelectBitmap(&image_);
  dc_.MarkDirty({0, 0, image_.Width(), image_.Height()});
  if (resized && presenter_) presenter_->Move(left_, top_, image_.Width(), image_.Height());
}

}  // namespace slidesaver::gdi

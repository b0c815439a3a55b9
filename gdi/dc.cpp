#include "gdi/dc.h"

namespace slidesaver::gdi {

Bitmap* Dc::SelectBitmap(Bitmap* bitmap) {
  Bitmap* previous = bitmap_;
  bitmap_ = bitmap;
  dirty_ = {};
  if (damage_) damage_->Clear();
  return previous;
}

ColorRef Dc::SetBkColor(ColorRef color) {
  const ColorRef previous = bk_color_;
  bk_color_ = color & 0xFFFFFF;
  return previous;
}

ColorRef Dc::SetTextColor(ColorRef color) {
  const ColorRef previous = text_color_;
  text_color_ = color & 0xFFFFFF;
  return previous;
}

int Dc::SetStretchBltMode(int mode) {
  if (mode < BLACKONWHITE || mode > HALFTONE) return 0;  // refused, as the platform does
  const int previous = stretch_mode_;
  stretch_mode_ = mode;
  return previous;
}

void Dc::SelectClipRgn(const Region* region) {
  if (region) {
    clip_ = *region;
  } else {
    clip_.reset();
  }
}

void Dc::MarkDirty(const Rect& r) {
  if (!bitmap_) return;
  const Rect inside = Intersect(r, {0, 0, bitmap_->Width(), bitmap_->Height()});
  dirty_ = Union(dirty_, inside);
  if (damage_) damage_->AddRect(inside);
}

void Dc::MarkWritten(const Rect& r) {
  if (!bitmap_) return;
  dirty_ = Union(dirty_, Intersect(r, {0, 0, bitmap_->Width(), bitmap_->Height()}));
}

Rect Dc::TakeDirty() {
  const Rect r = dirty_;
  dirty_ = {};
  return r;
}

}  // namespace slidesaver::gdi

#pragma once
// A drawing surface of the show form (the visible area, the from- and to-pictures, the slide
// picture): a persistent off-screen image with a device context.
#include <cstdint>
#include <span>
#include <vector>

#include "gdi/bitmap.h"
#include "gdi/damage.h"
#include "gdi/dc.h"

namespace slidesaver::gdi {

// Brings a visible surface's image to the screen.
class Presenter {
 public:
  virtual ~Presenter() = default;
  virtual void Move(int32_t left, int32_t top, int32_t width, int32_t height) = 0;
  // damage: the pixels of the image that changed since the last Present, as disjoint
  // rectangles inside the image; none when nothing changed.
  virtual void Present(const Bitmap& image, std::span<const Rect> damage) = 0;
};

// The surface's context uses COLORONCOLOR, so stretched pictures keep their colours.
class Surface {
 public:
  explicit Surface(Presenter* presenter = nullptr);
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;

  ColorRef BackColor() const { return back_color_; }
  void SetBackColor(ColorRef color);
  void Clear();
  // Draws a picture at its own size, top-left corner at (x, y), clipped to the surface (and
  // to a selected clip region).
  void DrawPicture(const Bitmap& picture, int32_t x, int32_t y);
  const Bitmap& Image() const { return image_; }
  Dc& Context() { return dc_; }
  const Dc& Context() const { return dc_; }
  float ScaleWidth() const { return static_cast<float>(image_.Width()); }
  float ScaleHeight() const { return static_cast<float>(image_.Height()); }
  int32_t Width() const { return image_.Width(); }
  int32_t Height() const { return image_.Height(); }
  int32_t Left() const { return left_; }
  int32_t Top() const { return top_; }
  // A new size gives a new image filled with the background colour; a negative size is an
  // invalid-argument RunTimeError.
  void Move(int32_t left, int32_t top, int32_t width, int32_t height);
  // Hands the image and the pixels changed since the last Refresh (possibly none) to the
  // presenter, and starts anew. Hidden surfaces have no presenter and track no damage.
  void Refresh();
  // slide_picture's Picture: the surface takes the picture's size and the picture as content.
  void SetPicture(Bitmap picture);

 private:
  Presenter* presenter_;
  Bitmap image_;
  Damage damage_;
  std::vector<Rect> damage_rects_;  // kept from one Refresh to the next
  Dc dc_;
  ColorRef back_color_ = 0;
  int32_t left_ = 0, top_ = 0;
};

}  // namespace slidesaver::gdi

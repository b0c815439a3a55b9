#pragma once
// Device contexts and the raster operations of the drawing layer.
#include <cstdint>
#include <optional>

#include "gdi/bitmap.h"
#include "gdi/damage.h"
#include "gdi/region.h"

namespace slidesaver::gdi {

constexpr uint32_t SRCCOPY = 0xCC0020;
constexpr uint32_t SRCAND = 0x8800C6;
constexpr uint32_t SRCINVERT = 0x660046;
constexpr uint32_t DSna = 0x220326;

constexpr int BLACKONWHITE = 1;  // shrinking ANDs the colours of the dropped pixels
constexpr int WHITEONBLACK = 2;  // shrinking ORs them
constexpr int COLORONCOLOR = 3;  // each destination pixel takes exactly one source pixel
constexpr int HALFTONE = 4;      // drawn like COLORONCOLOR

class Dc {
 public:
  // SelectObject for bitmaps: the context draws into (and reads from) *bitmap; returns the
  // previous one. The bitmap must outlive its selection.
  Bitmap* SelectBitmap(Bitmap* bitmap);
  Bitmap* SelectedBitmap() const { return bitmap_; }

  ColorRef SetBkColor(ColorRef color);  // returns the previous one (default white)
  ColorRef GetBkColor() const { return bk_color_; }
  ColorRef SetTextColor(ColorRef color);  // default black
  ColorRef GetTextColor() const { return text_color_; }
  // Default BLACKONWHITE, as a new memory context has (surfaces set COLORONCOLOR). A mode
  // outside 1 … 4 is refused: 0 is returned and the mode stays.
  int SetStretchBltMode(int mode);
  int GetStretchBltMode() const { return stretch_mode_; }

  // SelectClipRgn: the context copies the region; null resets the clip.
  void SelectClipRgn(const Region* region);
  const std::optional<Region>& ClipRegion() const { return clip_; }

  // The rectangle of the selected bitmap written since the last TakeDirty() (or the last
  // SelectBitmap): every drawing operation unions the bounds of the pixels it wrote.
  // MarkDirty also adds the rectangle to the tracked damage; MarkWritten leaves that to the
  // caller, who reports the pixels that really changed.
  void MarkDirty(const Rect& r);
  void MarkWritten(const Rect& r);
  Rect TakeDirty();
  const Rect& Dirty() const { return dirty_; }

  // The pixels changed since they were last presented, for the context of a presented
  // surface (null: none tracked, as for every other context). The damage must outlive its
  // tracking; selecting a bitmap clears it. Drawing into a tracked context compares where
  // that is cheap, so that pixels written with the value they had are not damage.
  void TrackDamage(Damage* damage) { damage_ = damage; }
  Damage* TrackedDamage() const { return damage_; }

 private:
  Bitmap* bitmap_ = nullptr;
  ColorRef bk_color_ = 0xFFFFFF;
  ColorRef text_color_ = 0x000000;
  int stretch_mode_ = BLACKONWHITE;
  std::optional<Region> clip_;
  Rect dirty_{};
  Damage* damage_ = nullptr;
};

// The raster operations. Every operation clips to the destination bitmap, its clip region
// and the source bitmap: nothing is read or written outside a bitmap, and destination
// pixels whose source lies outside the source bitmap are left unchanged.
// rop is SRCCOPY, SRCAND, SRCINVERT or DSna; any other value draws nothing (false). The
// source is converted to the destination's format first: colour to monochrome gives 1 where
// the pixel equals the source context's background colour, monochrome to colour gives the
// destination context's background colour for 1 and its text colour for 0.
// Both contexts need a selected bitmap (else false). Source and destination may be the same.
// BitBlt: a zero size draws nothing; a negative w (h) covers columns x + w + 1 … x from
// source columns sx + w + 1 … sx, unmirrored.
bool BitBlt(Dc& dst, int32_t x, int32_t y, int32_t w, int32_t h, const Dc& src, int32_t sx,
            int32_t sy, uint32_t rop);
// StretchBlt: destination pixel x + i·sign(w) takes source pixel sx + j(i)·sign(sw), for i in
// 0 … |w| − 1, so a negative w (h) mirrors: columns x + w + 1 … x are filled, the source
// reversed. With n = |w| and m = |sw|, j(i) = ⌊(2im + m − 1) / 2n⌋ when n ≥ m and
// ⌊((2i + 2)m − n) / 2n⌋ when n < m; w = 1 with sw > 1 uses sw − 1 (likewise for rows).
// Any zero extent draws nothing. BLACKONWHITE and WHITEONBLACK combine the pixels a shrink
// drops (AND, OR) into the pixel it keeps; COLORONCOLOR and HALFTONE keep one pixel.
bool StretchBlt(Dc& dst, int32_t x, int32_t y, int32_t w, int32_t h, const Dc& src, int32_t sx,
                int32_t sy, int32_t sw, int32_t sh, uint32_t rop);
// A filled box with both corners included (x1, y1)-(x2, y2), in either order, in a colour
// 0x00BBGGRR, clipped to the bitmap and the clip region. Monochrome bitmaps take
// MonoFromRgb of the colour.
void FillBox(Dc& dst, int32_t x1, int32_t y1, int32_t x2, int32_t y2, ColorRef color);

}  // namespace slidesaver::gdi

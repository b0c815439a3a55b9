#pragma once
// Device contexts and the raster operations of the drawing layer.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/region.h"

namespace slidesaver::gdi {

constexpr uint32_t SRCCOPY = 0xCC0020;
constexpr uint32_t SRCAND = 0x8800C6;
constexpr uint32_t SRCINVERT = 0x660046;
constexpr uint32_t DSna = 0x220326;

constexpr int BLACKONWHITE = 1;
constexpr int COLORONCOLOR = 3;

// One drawing call as a recording keeps it: e.g. name "BitBlt", source "NextPicture",
// args {x, y, w, h, sx, sy}.
struct DrawCall {
  std::string name;
  std::string source;
  std::vector<int64_t> args;
  bool operator==(const DrawCall&) const = default;
};

class Dc {
 public:
  explicit Dc(std::string name = {}) : name_(std::move(name)) {}

  // SelectObject for bitmaps: the context draws into (and reads from) *bitmap; returns the
  // previous one. The bitmap must outlive its selection.
  Bitmap* SelectBitmap(Bitmap* bitmap);
  Bitmap* SelectedBitmap() const { return bitmap_; }

  ColorRef SetBkColor(ColorRef color);  // returns the previous one (default white)
  ColorRef GetBkColor() const { return bk_color_; }
  ColorRef SetTextColor(ColorRef color);  // default black
  ColorRef GetTextColor() const { return text_color_; }
  int SetStretchBltMode(int mode);  // default BLACKONWHITE
  int GetStretchBltMode() const { return stretch_mode_; }

  // SelectClipRgn: the context copies the region; null resets the clip.
  void SelectClipRgn(const Region* region);
  const std::optional<Region>& ClipRegion() const { return clip_; }

  // The rectangle of the selected bitmap written since the last TakeDirty().
  void MarkDirty(const Rect& r);
  Rect TakeDirty();
  const Rect& Dirty() const { return dirty_; }

  // Recording of drawing calls into this context, for tests (null: off).
  void SetRecorder(std::vector<DrawCall>* recorder) { recorder_ = recorder; }
  std::vector<DrawCall>* Recorder() const { return recorder_; }
  const std::string& Name() const { return name_; }

 private:
  std::string name_;
  Bitmap* bitmap_ = nullptr;
  ColorRef bk_color_ = 0xFFFFFF;
  ColorRef text_color_ = 0x000000;
  int stretch_mode_ = BLACKONWHITE;
  std::optional<Region> clip_;
  Rect dirty_{};
  std::vector<DrawCall>* recorder_ = nullptr;
};

// The raster operations. Every operation clips to the destination bitmap, its clip region
// and the source bitmap: nothing is read or written outside a bitmap, and destination
// pixels whose source lies outside the source bitmap are left unchanged.
bool BitBlt(Dc& dst, int32_t x, int32_t y, int32_t w, int32_t h, const Dc& src, int32_t sx,
            int32_t sy, uint32_t rop);
// A negative w (h) mirrors: columns x + w + 1 … x are filled, the source reversed.
bool StretchBlt(Dc& dst, int32_t x, int32_t y, int32_t w, int32_t h, const Dc& src, int32_t sx,
                int32_t sy, int32_t sw, int32_t sh, uint32_t rop);
// A filled box with both corners included (x1, y1)-(x2, y2), in a colour 0x00BBGGRR.
void FillBox(Dc& dst, int32_t x1, int32_t y1, int32_t x2, int32_t y2, ColorRef color);

}  // namespace slidesaver::gdi

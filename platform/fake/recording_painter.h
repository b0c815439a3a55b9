#pragma once
// A painter that draws and also logs the calls made into the contexts a test names, in the
// call log of the test platform (so they fall in order with the refreshes and the waits):
//   "BitBlt <source> x,y,w,h,sx,sy"            (",rop" appended when it is not SRCCOPY)
//   "StretchBlt <source> x,y,w,h,sx,sy,sw,sh"  (likewise)
//   "FillBox x1,y1,x2,y2,color"                (the colour as passed, 0x00BBGGRR, in decimal)
//   "SelectClipRgn <RegionText>"
// <source> is the name the test gave the source context, "?" for any other.
#include <map>
#include <string>

#include "gdi/painter.h"
#include "platform/fake/fake_event_loop.h"

namespace slidesaver::fake {

class RecordingPainter : public gdi::Painter {
 public:
  explicit RecordingPainter(FakeCallLog& log) : log_(log) {}

  // Calls into `dc` are logged, and `name` stands for it as a source.
  void Name(const gdi::Dc& dc, std::string name) { names_[&dc] = std::move(name); }

  // A clip region as logged: "none", or its bounds and a digest of its spans
  // ("l,t,r,b#digest"), so that equal regions read the same.
  static std::string RegionText(const gdi::Region* region);

  bool BitBlt(gdi::Dc& dst, int32_t x, int32_t y, int32_t w, int32_t h, const gdi::Dc& src,
              int32_t sx, int32_t sy, uint32_t rop) override;
  bool StretchBlt(gdi::Dc& dst, int32_t x, int32_t y, int32_t w, int32_t h, const gdi::Dc& src,
                  int32_t sx, int32_t sy, int32_t sw, int32_t sh, uint32_t rop) override;
  void FillBox(gdi::Dc& dst, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
               gdi::ColorRef color) override;
  void SelectClipRgn(gdi::Dc& dst, const gdi::Region* region) override;

 private:
  bool Watched(const gdi::Dc& dc) const { return names_.contains(&dc); }
  std::string NameOf(const gdi::Dc& dc) const;

  FakeCallLog& log_;
  std::map<const gdi::Dc*, std::string> names_;
};

}  // namespace slidesaver::fake

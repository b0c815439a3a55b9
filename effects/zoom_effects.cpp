// Zooms: a whole picture stretched into a rectangle centred on the target, whose corner moves
// by a fortieth of the target's size per frame.
#include "effects/effect_module.h"

namespace slidesaver {
namespace {

// The zoom rectangle: its top-left corner (x, y) moves, its centre stays at (cx, cy). Each
// move rounds the corner, so the rounding of one frame carries into the next.
class ZoomBox {
 public:
  ZoomBox(const EffectFrame& f, bool start_at_centre)
      : cx_(R(double{f.W()} / 2)),
        cy_(R(double{f.H()} / 2)),
        dx_(Single(double{f.W()} / 20 / 2)),
        dy_(Single(double{f.H()} / 20 / 2)),
        x_(start_at_centre ? cx_ : 0),
        y_(start_at_centre ? cy_ : 0) {}

  void Grow() {
    x_ = R(static_cast<double>(x_) - dx_);
    y_ = R(static_cast<double>(y_) - dy_);
  }
  void Shrink() {
    x_ = R(static_cast<double>(x_) + dx_);
    y_ = R(static_cast<double>(y_) + dy_);
  }

  // The whole picture p stretched into the box. Past the centre the width and height turn
  // negative, and they go to the drawing layer as they are (it mirrors them).
  void StretchInto(EffectFrame& f, const gdi::Surface& p) const {
    f.Stretch(x_, y_, Mul32(Sub32(cx_, x_), 2), Mul32(Sub32(cy_, y_), 2), p, 0, 0, R(f.W()),
              R(f.H()));
  }

 private:
  int32_t cx_, cy_;
  float dx_, dy_;
  int32_t x_, y_;
};

}  // namespace

void ZoomInFromCentre(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to,
                      FrameContext& ctx) {
  EffectFrame f(target, from, to, ctx);
  f.FirstFrame();
  ZoomBox box(f, true);
  ForIntCounter(0, 20, [&](int32_t) {
    return f.Frame([&] { box.StretchInto(f, f.To()); }, [&] { box.Grow(); });
  });
  f.LastFrame();
}

void ZoomOutToCentre(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to,
                     FrameContext& ctx) {
  EffectFrame f(target, from, to, ctx);
  f.FirstFrame();
  ZoomBox box(f, false);
  ForIntCounter(0, 20, [&](int32_t) {
    return f.Frame(
        [&] {
          f.Blt(0, 0, R(f.W()), R(f.H()), f.To(), 0, 0);
          box.StretchInto(f, f.From());
        },
        [&] { box.Shrink(); });
  });
  f.LastFrame();
}

void ZoomThroughCentre(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to,
                       FrameContext& ctx) {
  EffectFrame f(target, from, to, ctx);
  f.FirstFrame();
  ZoomBox box(f, false);
  ForIntCounter(0, 40, [&](int32_t i) {
    return f.Frame([&] {
      if (i <= 20) {
        // The from-picture shrinks into the centre over black; the corner moves after drawing.
        f.ClearToBlack();
        box.StretchInto(f, f.From());
        box.Shrink();
      } else {
        // Then the to-picture grows out of it; the corner moves before drawing.
        box.Grow();
        box.StretchInto(f, f.To());
      }
    });
  });
  f.LastFrame();
}

}  // namespace slidesaver

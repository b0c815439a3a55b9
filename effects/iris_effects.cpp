// Irises: the to-picture shows through an ellipse or a diamond centred on the target that
// grows frame by frame past the target's edges.
#include <array>

#include "effects/clip_region_frame.h"
#include "effects/effect_module.h"

namespace slidesaver {
namespace {

// The shape's bounding box: top-left corner (x, y) around the fixed centre (cx, cy), moved
// outward by (sx, sy) per frame and rounded at every move.
struct IrisBox {
  IrisBox(const EffectFrame& f, double divisor)
      : cx(R(double{f.W()} / 2)),
        cy(R(double{f.H()} / 2)),
        sx(Single(double{f.W()} / divisor / 2)),
        sy(Single(double{f.H()} / divisor / 2)),
        x(cx),
        y(cy) {}

  int32_t Width() const { return Mul32(Sub32(cx, x), 2); }
  int32_t Height() const { return Mul32(Sub32(cy, y), 2); }
  void MoveOut() {
    x = R(static_cast<double>(x) - sx);
    y = R(static_cast<double>(y) - sy);
  }

  int32_t cx, cy;
  float sx, sy;
  int32_t x, y;
};

// Frames of a shape made by make_region(box), the to-picture's box copied through it.
template <class MakeRegion>
void Iris(EffectFrame& f, double divisor, int32_t last_frame, MakeRegion&& make_region) {
  f.FirstFrame();
  IrisBox box(f, divisor);
  ForIntCounter(0, last_frame, [&](int32_t) {
    int32_t w = 0, h = 0;
    return ClipRegionFrame(
        f,
        [&] {
          w = box.Width();
          h = box.Height();
          return make_region(box, w, h);
        },
        [&] { f.Blt(box.x, box.y, w, h, f.To(), box.x, box.y); }, [&] { box.MoveOut(); });
  });
  f.LastFrame();
}

}  // namespace

void EllipseOutFromCentre(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to,
                          FrameContext& ctx) {
  EffectFrame f(target, from, to, ctx);
  Iris(f, 20, 24, [](const IrisBox& box, int32_t w, int32_t h) {
    return gdi::Region::Ellipse(box.x, box.y, Add32(box.x, w), Add32(box.y, h));
  });
}

void DiamondOutFromCentre(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to,
                          FrameContext& ctx) {
  EffectFrame f(target, from, to, ctx);
  Iris(f, 15, 29, [](const IrisBox& box, int32_t w, int32_t h) {
    // The middle of the box, which always comes out as the centre.
    const int32_t mid_x = R(w / 2.0 + box.x);
    const int32_t mid_y = R(h / 2.0 + box.y);
    const std::array<gdi::PolyPoint, 4> corners = {{
        {mid_x, box.y},            // top
        {box.x, mid_y},            // left
        {mid_x, Add32(box.y, h)},  // bottom
        {Add32(box.x, w), mid_y},  // right
    }};
    return gdi::Region::Polygon(corners, 0);
  });
}

}  // namespace slidesaver

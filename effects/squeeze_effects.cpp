// Edge squeeze transitions: B enters from one edge squeezed into a band that grows by about a
// twentieth of the target each frame, while A is squeezed into the rest. Both stay whole.
#include "effects/effect_module.h"

namespace slidesaver {
namespace {

enum class Edge { Left, Top, Right, Bottom };

void Squeeze(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to, FrameContext& ctx,
             Edge edge) {
  EffectFrame f(target, from, to, ctx);
  f.FirstFrame();
  const bool across = edge == Edge::Left || edge == Edge::Right;
  const double s = Single((across ? f.W() : f.H()) / 20.0);
  int32_t p = 0;  // the band's size in pixels
  ForIntCounter(0, 20, [&](int32_t) {
    return f.Frame([&] {
      const int32_t sw = R(f.W());
      const int32_t sh = R(f.H());
      switch (edge) {
        case Edge::Left:
          f.Stretch(p, 0, R(f.W() - static_cast<double>(p)), R(f.H()), from, 0, 0, sw, sh);
          f.Stretch(0, 0, p, R(f.H()), to, 0, 0, sw, sh);
          break;
        case Edge::Top:
          f.Stretch(0, p, R(f.W()), R(f.H() - static_cast<double>(p)), from, 0, 0, sw, sh);
          f.Stretch(0, 0, R(f.W()), p, to, 0, 0, sw, sh);
          break;
        case Edge::Right:
          f.Stretch(0, 0, R(f.W() - static_cast<double>(p)), R(f.H()), from, 0, 0, sw, sh);
          f.Stretch(R(f.W() - static_cast<double>(p)), 0, p, R(f.H()), to, 0, 0, sw, sh);
          break;
        case Edge::Bottom:
          f.Stretch(0, 0, R(f.W()), R(f.H() - static_cast<double>(p)), from, 0, 0, sw, sh);
          f.Stretch(0, R(f.H() - static_cast<double>(p)), R(f.W()), p, to, 0, 0, sw, sh);
          break;
      }
      p = R(p + s);
    });
  });
  f.LastFrame();
}

}  // namespace

void SqueezeFromLeft(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to,
                     FrameContext& ctx) {
  Squeeze(target, from, to, ctx, Edge::Left);
}
void SqueezeFromTop(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to, FrameContext& ctx) {
  Squeeze(target, from, to, ctx, Edge::Top);
}
void SqueezeFromRight(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to,
                      FrameContext& ctx) {
  Squeeze(target, from, to, ctx, Edge::Right);
}
void SqueezeFromBottom(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to,
                       FrameContext& ctx) {
  Squeeze(target, from, to, ctx, Edge::Bottom);
}

}  // namespace slidesaver

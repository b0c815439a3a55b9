// Sweeps: wedge after wedge around the target's centre, like the hand of a clock, uncovers
// the to-picture through a triangular clip region.
#include <array>
#include <cmath>

#include "effects/clip_region_frame.h"
#include "effects/effect_module.h"

namespace slidesaver {
namespace {

// Written with these digits on purpose: the angles must round as they always have.
constexpr double kPi = 3.14159265358979;
// The clock sweep turns in 36 steps of ten degrees.
constexpr int32_t kClockSweepLastStep = 35;

struct Sweep {
  explicit Sweep(const EffectFrame& f)
      : cx(R(double{f.W()} / 2)),
        cy(R(double{f.H()} / 2)),
        corner_distance(std::sqrt(static_cast<double>(Add32(Mul32(cx, cx), Mul32(cy, cy))))) {}

  // The end of an arm of the given length at frame i: 10 degrees more per frame, clockwise
  // from 80 degrees before 12 o'clock (y grows downward).
  gdi::PolyPoint ArmEnd(int32_t i, int32_t length) const {
    const int32_t degrees = Sub32(Mul32(Add32(i, 1), 10), 90);
    const double t = (kPi / 180.0) * degrees;
    return {R(length * std::cos(t) + cx), R(length * std::sin(t) + cy)};
  }

  // Frame i's wedge: previous arm end, centre, new arm end; the whole to-picture is copied
  // through it (cx * 2 by cy * 2, which for an odd size is not the target's size).
  template <class AfterRefresh>
  bool Frame(EffectFrame& f, int32_t i, int32_t length, AfterRefresh&& after_refresh) {
    gdi::PolyPoint arm_end;
    return ClipRegionFrame(
        f,
        [&] {
          arm_end = ArmEnd(i, length);
          const std::array<gdi::PolyPoint, 3> wedge = {{previous, {cx, cy}, arm_end}};
          return gdi::Region::Polygon(wedge, 0);
        },
        [&] { f.Blt(0, 0, Mul32(cx, 2), Mul32(cy, 2), f.To(), 0, 0); },
        [&] {
          previous = arm_end;
          after_refresh();
        });
  }

  int32_t cx, cy;
  double corner_distance;
  gdi::PolyPoint previous{};
};

}  // namespace

void ClockSweep(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to, FrameContext& ctx) {
  EffectFrame f(target, from, to, ctx);
  f.FirstFrame();
  Sweep sweep(f);
  const int32_t radius = R(sweep.corner_distance);
  sweep.previous = {sweep.cx, Sub32(sweep.cy, radius)};  // straight above the centre
  ForIntCounter(0, kClockSweepLastStep,
                [&](int32_t i) { return sweep.Frame(f, i, radius, [] {}); });
  f.LastFrame();
}

void SpiralSweep(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to, FrameContext& ctx) {
  EffectFrame f(target, from, to, ctx);
  f.FirstFrame();
  Sweep sweep(f);
  int32_t radius = 0;
  sweep.previous = {sweep.cx, sweep.cy};
  ForIntCounter(0, 200, [&](int32_t i) {
    // The arm grows by about a 500th of the corner distance plus one pixel per frame.
    return sweep.Frame(f, i, radius, [&] { radius = R(sweep.corner_distance / 500 + radius + 1); });
  });
  f.LastFrame();
}

}  // namespace slidesaver

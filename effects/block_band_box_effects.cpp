// Block, band and box transitions: the to-picture is uncovered part by part, each part copied
// in place (same target and source rectangle).
#include <array>
#include <cmath>

#include "effects/effect_module.h"

namespace slidesaver {
namespace {

constexpr int32_t kGridCells = 5;

// The 5 x 5 grid of effects 3 and 9: blocks one pixel wider and higher than a fifth, so five
// of them reach past the right and bottom edges.
class BlockGrid {
 public:
  explicit BlockGrid(const EffectFrame& f) : bw_(R(f.W() / 5.0 + 1)), bh_(R(f.H() / 5.0 + 1)) {}

  bool Shown(int32_t column, int32_t row) const { return shown_[column][row] != 0; }
  void Uncover(EffectFrame& f, int32_t column, int32_t row) {
    shown_[column][row] = -1;
    const int32_t x = Mul32(column, bw_);
    const int32_t y = Mul32(row, bh_);
    f.Blt(x, y, bw_, bh_, f.To(), x, y);
  }

 private:
  int32_t bw_, bh_;
  std::array<std::array<int16_t, kGridCells>, kGridCells> shown_{};  // (column, row)
};

// floor(r * n) for a uniform r in [0, 1).
int32_t RandomIndex(Random& random, int32_t n) {
  return static_cast<int32_t>(std::floor(static_cast<double>(random.Next()) * n));
}

}  // namespace

void RandomBlocks(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to, FrameContext& ctx) {
  EffectFrame f(target, from, to, ctx);
  f.FirstFrame();
  BlockGrid grid(f);
  ForIntCounter(0, kGridCells * kGridCells - 1, [&](int32_t) {
    return f.Frame([&] {
      int32_t column, row;
      do {
        column = RandomIndex(ctx.random, kGridCells);
        row = RandomIndex(ctx.random, kGridCells);
      } while (grid.Shown(column, row));
      grid.Uncover(f, column, row);
    });
  });
  f.LastFrame();
}

// A strip of each of the five bands per frame, at the same offset c below each band's top.
// The nominal step band / 20 - 1 is not positive on targets under 103 pixels high; there the
// strips advance one row per frame and are at least one row high, so the bands still fill.
void BlindsDown(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to, FrameContext& ctx) {
  EffectFrame f(target, from, to, ctx);
  f.FirstFrame();
  const int32_t band = R(f.H() / 5.0);
  float step = Single(band / 20.0 - 1);
  bool low_target = false;
  if (!(step > 0)) {
    step = 1;
    low_target = true;
  }
  ForFloatCounter(0.0f, Single(band), step, [&](float counter) {
    const double c = counter;
    return f.Frame([&] {
      int32_t strip = R(band / 20.0);
      if (low_target && strip < 1) strip = 1;
      for (int32_t j = 0; j < kGridCells; ++j) {
        const int32_t top = R(c + Mul32(j, band));
        f.Blt(0, top, R(f.W()), strip, to, 0, top);
      }
    });
  });
  f.LastFrame();
}

void SpiralBlocks(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to, FrameContext& ctx) {
  EffectFrame f(target, from, to, ctx);
  f.FirstFrame();
  BlockGrid grid(f);
  enum Direction { kRight, kDown, kLeft, kUp };
  int32_t x = -1, y = 0;
  Direction d = kRight;
  // Turns clockwise at the grid's edge (tested first) or at a shown cell.
  auto step_walker = [&] {
    for (;;) {
      switch (d) {
        case kRight:
          if (x == kGridCells - 1 || grid.Shown(x + 1, y)) {
            d = kDown;
            continue;
          }
          ++x;
          return;
        case kDown:
          if (y == kGridCells - 1 || grid.Shown(x, y + 1)) {
            d = kLeft;
            continue;
          }
          ++y;
          return;
        case kLeft:
          if (x == 0 || grid.Shown(x - 1, y)) {
            d = kUp;
            continue;
          }
          --x;
          return;
        case kUp:
          if (y == 0 || grid.Shown(x, y - 1)) {
            d = kRight;
            continue;
          }
          --y;
          return;
      }
    }
  };
  ForIntCounter(0, kGridCells * kGridCells - 1, [&](int32_t) {
    return f.Frame([&] {
      step_walker();
      grid.Uncover(f, x, y);
    });
  });
  f.LastFrame();
}

// The box's corner moves outward after each refresh; each step's rounding carries on.
void BoxOutFromCentre(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to,
                      FrameContext& ctx) {
  EffectFrame f(target, from, to, ctx);
  f.FirstFrame();
  const int32_t cx = R(f.W() / 2.0);
  const int32_t cy = R(f.H() / 2.0);
  const float sx = Single(f.W() / 20.0 / 2);
  const float sy = Single(f.H() / 20.0 / 2);
  int32_t x = cx, y = cy;
  ForIntCounter(0, 19, [&](int32_t) {
    return f.Frame([&] { f.Blt(x, y, Mul32(2, Sub32(cx, x)), Mul32(2, Sub32(cy, y)), to, x, y); },
                   [&] {
                     x = R(x - static_cast<double>(sx));
                     y = R(y - static_cast<double>(sy));
                   });
  });
  f.LastFrame();
}

}  // namespace slidesaver

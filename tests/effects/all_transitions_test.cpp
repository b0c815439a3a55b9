// A show's worth of transitions: all 35 in a row on the same three surfaces, each bringing in
// the next slide whole, as the slide-show loop runs them.
#include <gtest/gtest.h>

#include <vector>

#include "effects/dispatch.h"
#include "tests/effects/effect_test_support.h"

namespace slidesaver::effect_test {
namespace {

// Slide n's picture: its number in the high bits, a position pattern below, so a pixel left
// over from any earlier slide, or from the wrong place, shows.
gdi::Bitmap Slide(int32_t n, int32_t width, int32_t height) {
  gdi::Bitmap b = gdi::Bitmap::Color(width, height);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      b.SetPixel(
          x, y,
          (static_cast<uint32_t>(n) << 18) | static_cast<uint32_t>((x * 7 + y * 13) & 0x3FFFF));
    }
  }
  return b;
}

void RunShow(int32_t width, int32_t height, int stop_every) {
  VirtualClockLoop clock;
  RecordingPresenter presenter;
  gdi::Surface picture1("Picture1", &presenter);
  gdi::Surface now_picture("NowPicture");
  gdi::Surface next_picture("NextPicture");
  for (gdi::Surface* s : {&picture1, &now_picture, &next_picture}) s->Move(0, 0, width, height);
  int16_t stop_requested = 0;
  Random random;
  FrameContext context{clock, stop_requested, 1, random};

  picture1.PaintPicture(Slide(0, width, height), 0, 0);
  for (int32_t n = 1; n <= 35; ++n) {
    SCOPED_TRACE(n);
    // The loop composes both pictures before the transition: the outgoing slide and the next.
    now_picture.PaintPicture(Slide(n - 1, width, height), 0, 0);
    next_picture.PaintPicture(Slide(n, width, height), 0, 0);
    context.SpeedFactor = 1 << (n % 4);
    const int yields_before = clock.yields;
    stop_requested = 0;
    if (stop_every > 0 && n % stop_every == 0) {
      clock.on_yield = [&](int yield) {
        if (yield == yields_before + 2) stop_requested = -1;
      };
    } else {
      clock.on_yield = nullptr;
    }
    const Effect effect = EffectFor(n);
    ASSERT_NE(effect, nullptr);
    effect(picture1, now_picture, next_picture, context);
    picture1.Refresh();
    ASSERT_EQ(picture1.Image(), Slide(n, width, height));
    ASSERT_FALSE(picture1.hDC().ClipRegion().has_value());
    EXPECT_GT(clock.yields, yields_before) << "every transition yields";
  }
}

TEST(AllTransitions, ThirtyFiveInARowEachLeavesItsSlideWhole) { RunShow(800, 600, 0); }

TEST(AllTransitions, ThirtyFiveInARowAtAnOddSizeWithSomeStopped) { RunShow(641, 479, 3); }

TEST(AllTransitions, EveryNumberHasItsOwnProcedure) {
  std::vector<Effect> seen;
  for (int32_t n = 1; n <= 35; ++n) {
    const Effect e = EffectFor(n);
    for (Effect other : seen) EXPECT_NE(e, other) << n << " shares a procedure";
    seen.push_back(e);
  }
}

}  // namespace
}  // namespace slidesaver::effect_test

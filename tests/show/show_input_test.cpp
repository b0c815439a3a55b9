// What ends the show: any key or button on the form or on the show area, and a mouse that has
// left its resting place by as little as one pixel.
#include "tests/show/show_test_support.h"

namespace slidesaver::testing {
namespace {

using ::testing::ElementsAre;

constexpr uint32_t kRed = 0xFF0000;

class InputTest : public ShowTest {
 protected:
  void SetUp() override {
    AddSlide("a", kRed);
    fake.window.SetCursorPos({300, 200});
    fake.events.KeyDownAt(9000);  // the end if nothing before ends the show
  }
  int64_t EndTick() {
    fake.log.Clear();
    Run();
    const std::vector<int64_t> ticks = TicksOf("cursor shown");
    return ticks.empty() ? -1 : ticks.front();
  }
};

TEST_F(InputTest, KeysAndButtonsEndTheShow) {
  fake.events.KeyDownAt(1500);
  EXPECT_EQ(EndTick(), 1500);
  fake.events.KeyDownAt(fake.log.Now() + 700);
  EXPECT_EQ(EndTick(), 1500 + 700);
  fake.events.MouseDownAt(fake.log.Now() + 700);
  EXPECT_EQ(EndTick(), 2200 + 700);
  fake.events.MouseDownAt(fake.log.Now() + 700);
  EXPECT_EQ(EndTick(), 2900 + 700);
}

TEST_F(InputTest, MovementWithTheCursorAtItsRestingPlaceGoesOn) {
  fake.events.MouseMoveAt(1500, {300, 200});
  fake.events.MouseMoveAt(2500, {300, 200});
  EXPECT_EQ(EndTick(), 9000);
}

TEST_F(InputTest, OnePixelOnEitherAxisEndsTheShow) {
  fake.events.MouseMoveAt(1500, {301, 200});
  EXPECT_EQ(EndTick(), 1500);
  fake.events.MouseMoveAt(fake.log.Now() + 500, {300, 199});
  EXPECT_EQ(EndTick(), 2000);  // the new show took (301, 200) as its resting place
}

TEST_F(InputTest, TheCursorNowDecidesNotWhereItWasWhenTheMoveBegan) {
  // Away and back before the show yields: only the position at handling time counts.
  fake.window.SetCursorPos({300, 200});
  fake.events.MouseMoveAt(1500, {300, 200});
  EXPECT_EQ(EndTick(), 9000);
}

TEST_F(InputTest, RestingPlaceIsTakenWhenTheShowStarts) {
  // The cursor moved during set-up, before the show took its place: no stop from that.
  fake.events.MouseMoveAt(0, {50, 60});
  fake.events.MouseMoveAt(1500, {50, 60});
  EXPECT_EQ(EndTick(), 9000);
  EXPECT_EQ(fake.log.With("GetCursorPos").front().tick, 0);
}

TEST_F(InputTest, StopDuringATransitionEndsTheEffectAndThenTheShow) {
  fake.pictures.Add("a", gdi::Bitmap::Color(80, 60, kRed));
  package.Slides[0].EffectNumber = 19;  // a real wipe, paced on the virtual clock
  AddSlide("b", 0x00FF00);
  fake.events.KeyDownAt(1010);
  EXPECT_EQ(EndTick(), 1010);
  // Whatever frame it stopped at, the whole to-picture is on the screen.
  EXPECT_EQ(ShownPixel(0, 0), 0x00FF00u);
  EXPECT_EQ(ShownPixel(79, 59), 0x102030u);
  EXPECT_GT(fake.window.Frames().size(), 2u);  // it had drawn frames of its own
}

}  // namespace
}  // namespace slidesaver::testing

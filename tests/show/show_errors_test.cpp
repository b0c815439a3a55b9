// The error trap: one message box with the exact text, shown where it can be answered, and
// the set-up undone; the clean-up still follows.
#include "tests/show/show_test_support.h"

namespace slidesaver::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::SizeIs;

constexpr uint32_t kRed = 0xFF0000, kGreen = 0x00FF00;

std::string ErrorText(const std::string& description) {
  return std::string(kUnknownError) + "\r\n" + description + "\r\nslidesaver";
}

TEST_F(ShowTest, NoSlidesIsAnErrorBeforeTheWindowShows) {
  Run();
  ASSERT_THAT(fake.dialogs.message_boxes, SizeIs(1));
  EXPECT_EQ(fake.dialogs.message_boxes[0].text, ErrorText("Subscript out of range"));
  EXPECT_EQ(fake.dialogs.message_boxes[0].title, "エラー");
  EXPECT_EQ(fake.dialogs.message_boxes[0].icon, platform::MessageIcon::Warning);
  EXPECT_FALSE(fake.dialogs.message_boxes[0].show_window_visible);
  EXPECT_THAT(Calls("Show"), ::testing::Not(::testing::Contains("Show")));
}

TEST_F(ShowTest, ErrorBoxComesAfterTheSetUpIsUndone) {
  package.BgmFileName = "music.mid";
  fake.system.password_on = true;
  AddSlide("a", kRed);
  AddSlide("b", kGreen);
  fake.pictures.AddUndecodable("b");
  Run();
  ASSERT_THAT(fake.dialogs.message_boxes, SizeIs(1));
  EXPECT_EQ(fake.dialogs.message_boxes[0].text, ErrorText("Invalid picture: " + Path("b")));
  // The top-most window is gone and the cursor is back when the box asks for an answer.
  EXPECT_FALSE(fake.dialogs.message_boxes[0].show_window_visible);
  EXPECT_TRUE(fake.dialogs.message_boxes[0].cursor_shown);
  const std::vector<std::string> calls = Calls();
  auto from = std::find(calls.begin(), calls.end(), "LoadPicture " + Path("b"));
  ASSERT_NE(from, calls.end());
  EXPECT_THAT(std::vector<std::string>(from + 1, calls.end()),
              ElementsAre("Hide", "cursor shown", "Grab off", "SetScreenSaverRunning 0",
                          "music closed", "sound stopped", "MessageBox エラー", "Hide"));
  EXPECT_EQ(fake.dialogs.password_checks.size(), 0u);  // the trap asks for no password
}

TEST_F(ShowTest, MissingPictureIsAnError) {
  AddSlide("a", kRed);
  package.Slides.push_back(package.Slides[0]);
  package.Slides[1].PictureFileName = "gone";
  package.SlideCount = 2;
  Run();
  ASSERT_THAT(fake.dialogs.message_boxes, SizeIs(1));
  EXPECT_EQ(fake.dialogs.message_boxes[0].text, ErrorText("File not found: " + Path("gone")));
}

TEST_F(ShowTest, SlideCountBeyondTheSlidesIsAnError) {
  AddSlide("a", kRed);
  package.SlideCount = 3;
  Run();
  ASSERT_THAT(fake.dialogs.message_boxes, SizeIs(1));
  EXPECT_EQ(fake.dialogs.message_boxes[0].text, ErrorText("Subscript out of range"));
}

TEST_F(ShowTest, SpeedBeyondThe32BitRangeIsAnOverflow) {
  AddSlide("a", kRed).SpeedExponent = 31;
  Run();
  ASSERT_THAT(fake.dialogs.message_boxes, SizeIs(1));
  EXPECT_EQ(fake.dialogs.message_boxes[0].text, ErrorText("Overflow"));
  EXPECT_THAT(TicksOf("MessageBox"), ElementsAre(1001));
}

TEST_F(ShowTest, NegativeSpeedExponentMakesTheEffectFail) {
  SlideEntry& a = AddSlide("a", kRed);
  a.SpeedExponent = -1;  // 2 ^ -1 = 0.5 rounds to 0
  a.EffectNumber = 19;
  Run();
  ASSERT_THAT(fake.dialogs.message_boxes, SizeIs(1));
  EXPECT_EQ(fake.dialogs.message_boxes[0].text, ErrorText("Division by zero"));
}

TEST_F(ShowTest, NegativeSpeedExponentIsHarmlessForAPlainCopy) {
  AddSlide("a", kRed).SpeedExponent = -1;
  fake.events.KeyDownAt(2500);
  Run();
  EXPECT_THAT(fake.dialogs.message_boxes, SizeIs(0));
}

TEST_F(ShowTest, AbsurdDisplayTimeOverflowsTheDeadline) {
  AddSlide("a", kRed).DisplayTime = INT32_MAX;
  fake.events.SetNow(1);
  Run();
  ASSERT_THAT(fake.dialogs.message_boxes, SizeIs(1));
  EXPECT_EQ(fake.dialogs.message_boxes[0].text, ErrorText("Overflow"));
}

// 16384 x 16384 would take 3 GiB for its surfaces: an error box, before any is made.
TEST_F(ShowTest, ShowAreaBeyondTheBudgetIsAnErrorBeforeItsSurfacesAreMade) {
  package.ShowWidth = 16384;
  package.ShowHeight = 16384;
  AddSlide("a", kRed);
  Run();
  ASSERT_THAT(fake.dialogs.message_boxes, SizeIs(1));
  EXPECT_EQ(fake.dialogs.message_boxes[0].text,
            ErrorText("Show area too large: 16384 x 16384 pixels, more than the 33,554,432 the "
                      "player shows"));
  EXPECT_THAT(Calls("Move"), SizeIs(0));
  EXPECT_THAT(Calls("LoadPicture"), SizeIs(0));
}

TEST_F(ShowTest, ShowAreaOfNegativeSizeIsAnError) {
  package.ShowWidth = -5;
  AddSlide("a", kRed);
  Run();
  ASSERT_THAT(fake.dialogs.message_boxes, SizeIs(1));
  EXPECT_EQ(fake.dialogs.message_boxes[0].text.rfind(kUnknownError, 0), 0u);
}

}  // namespace
}  // namespace slidesaver::testing

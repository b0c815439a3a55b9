// The slide-show loop on the virtual clock: the order of a pass, its timing to the tick, the
// sounds, the speed and the choice of the transition.
#include <map>

#include "tests/show/show_test_support.h"

namespace slidesaver::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF;

TEST_F(ShowTest, OneSlideAfterAnotherInTheOrderOfAPass) {
  AddSlide("a", kRed).SoundFileName = "a.wav";
  SlideEntry& b = AddSlide("b", kGreen);
  b.SoundFileName = "b.wav";
  b.DisplayTime = 500;
  b.PictureX = 5;
  b.PictureY = 7;
  fake.events.KeyDownAt(1200);
  Run();

  const std::string t = extracted.Folder();
  EXPECT_THAT(Calls(), ElementsAre("GetScreenSize", "Move 472,354,80,60", "LoadPicture " + t + "a",
                                   "Show", "SetTopMost", "SetScreenSaverRunning 1", "cursor hidden",
                                   "GetCursorPos", "ScreenSaverPasswordOn",
                                   // the first picture, plainly and without its sound
                                   "Present 0,0,80,60",
                                   // slide a's pass: b is prepared, a's time runs out, b comes in;
                                   // only the pixels of a (20 x 10 at 0, 0) and b (at 5, 7) change
                                   "LoadPicture " + t + "b", "sound started " + t + "b.wav",
                                   "Present 0,0,20,7 0,7,25,13 5,13,25,17",
                                   // b's pass: the key during its display ends the show after it
                                   "LoadPicture " + t + "a", "sound started " + t + "a.wav",
                                   "Present 0,0,20,7 0,7,25,13 5,13,25,17",
                                   // shutdown and unload
                                   "cursor shown", "ScreenSaverPasswordOn",
                                   "SetScreenSaverRunning 0", "sound stopped", "Hide"));
  EXPECT_THAT(TicksOf("sound"), ElementsAre(1001, 1200, 1200));
  EXPECT_THAT(TicksOf("YieldUntil"), ElementsAre(0, 1001));
  EXPECT_THAT(fake.log.With("YieldUntil"), ElementsAre(fake::LoggedCall{0, "YieldUntil 1000"},
                                                       fake::LoggedCall{1001, "YieldUntil 1501"}));
  // The stop came during b's display: the transition back to a still ran.
  EXPECT_EQ(ShownPixel(0, 0), kRed);
  EXPECT_EQ(ShownPixel(5, 7), kRed);
  EXPECT_EQ(ShownPixel(25, 7), 0x102030u);
  EXPECT_TRUE(fake.window.CursorShown());
  EXPECT_THAT(fake.dialogs.message_boxes, IsEmpty());
}

TEST_F(ShowTest, NextSlideAtItsPlaceOnTheBackground) {
  AddSlide("a", kRed, 80, 60);
  SlideEntry& b = AddSlide("b", kGreen);
  b.PictureX = 30;
  b.PictureY = 40;
  fake.events.KeyDownAt(500);  // during a's display: b still comes in
  Run();
  EXPECT_EQ(ShownPixel(30, 40), kGreen);
  EXPECT_EQ(ShownPixel(49, 49), kGreen);
  EXPECT_EQ(ShownPixel(29, 40), 0x102030u);
  EXPECT_EQ(ShownPixel(50, 40), 0x102030u);
  EXPECT_EQ(ShownPixel(30, 39), 0x102030u);
  // Black around the show area.
  const gdi::Rect area = fake.window.ShowArea();
  EXPECT_EQ(ScreenPixel(area.left - 1, area.top), 0u);
  EXPECT_EQ(ScreenPixel(area.right, area.bottom - 1), 0u);
}

TEST_F(ShowTest, PreparationCountsTowardTheDisplayTime) {
  AddSlide("a", kRed);
  AddSlide("b", kGreen);
  fake.pictures.SetLoadCost(300);  // every decode takes 300 ms
  fake.events.KeyDownAt(1400);
  Run();
  // a was decoded during set-up (0 to 300); its pass starts at 300 and b is decoded by 600,
  // but the deadline was taken at 300.
  EXPECT_THAT(fake.log.With("YieldUntil"), ElementsAre(fake::LoggedCall{600, "YieldUntil 1300"},
                                                       fake::LoggedCall{1601, "YieldUntil 2301"}));
  EXPECT_THAT(TicksOf("Present"), ElementsAre(300, 1301, 1601));
}

TEST_F(ShowTest, DisplayTimeZeroStillYieldsOnceAndSeesAStop) {
  AddSlide("a", kRed).DisplayTime = 0;
  fake.events.KeyDownAt(3);
  Run();
  // One slide passing into itself every tick until the key.
  EXPECT_THAT(fake.log.With("YieldUntil"),
              ElementsAre(fake::LoggedCall{0, "YieldUntil 0"}, fake::LoggedCall{1, "YieldUntil 1"},
                          fake::LoggedCall{2, "YieldUntil 2"}));
  EXPECT_EQ(Calls("LoadPicture").size(), 4u);
  EXPECT_EQ(Calls("Present").size(), 4u);
}

TEST_F(ShowTest, NegativeDisplayTimeYieldsOnceAndReadsTheTickOnce) {
  AddSlide("a", kRed).DisplayTime = -50;
  AddSlide("b", kGreen).DisplayTime = 100;
  fake.events.KeyDownAt(50);
  Run();
  std::vector<std::string> all = fake.log.Texts(true);
  auto wait = std::find(all.begin(), all.end(), "YieldUntil -50");
  ASSERT_NE(wait, all.end());
  EXPECT_EQ(*(wait + 1), "TickCount");
  EXPECT_TRUE((wait + 2)->starts_with("Present")) << *(wait + 2);
  EXPECT_THAT(TicksOf("YieldUntil"), ElementsAre(0, 0));
}

TEST_F(ShowTest, TransitionsRunWithTheOutgoingSlidesNumberAndSpeed) {
  SlideEntry& a = AddSlide("a", kRed);
  a.EffectNumber = 28;
  a.SpeedExponent = 1;
  SlideEntry& b = AddSlide("b", kGreen);
  b.EffectNumber = 27;
  b.SpeedExponent = 3;
  SlideEntry& c = AddSlide("c", kBlue);
  c.EffectNumber = 4;
  fake.events.KeyDownAt(4500);
  RunRecordingEffects();
  EXPECT_THAT(Calls("Effect"),
              ElementsAre("Effect 28 speed 2", "Effect 27 speed 8", "Effect 4 speed 1",
                          "Effect 28 speed 2", "Effect 27 speed 8"));
  // Slide a's display time counts before the first transition.
  EXPECT_THAT(TicksOf("Effect"), ElementsAre(1001, 2002, 3003, 4004, 4500));
}

TEST_F(ShowTest, SpeedIsSetForAPlainCopyToo) {
  AddSlide("a", kRed).SpeedExponent = 3;
  fake.events.KeyDownAt(500);
  ShowForm form(platform, package, settings, extracted);
  form.Run();
  EXPECT_EQ(form.State().speed_factor, 8);
  EXPECT_TRUE(form.State().stop_requested);
}

TEST_F(ShowTest, OneSlideReloadsAndPassesIntoItselfWithItsSound) {
  SlideEntry& a = AddSlide("a", kRed);
  a.SoundFileName = "a.wav";
  a.EffectNumber = 9;
  fake.events.KeyDownAt(2500);
  RunRecordingEffects();
  EXPECT_EQ(Calls("LoadPicture").size(), 4u);
  EXPECT_THAT(TicksOf("sound started " + Path("a.wav")), ElementsAre(1001, 2002, 2500));
  EXPECT_THAT(Calls("Effect"),
              ElementsAre("Effect 9 speed 1", "Effect 9 speed 1", "Effect 9 speed 1"));
}

TEST_F(ShowTest, NumbersOutsideTheTableDrawNothing) {
  for (int32_t number : {36, -1}) {
    SCOPED_TRACE(number);
    fake.log.Clear();
    package.Slides.clear();
    AddSlide("a", kRed, 80, 60).EffectNumber = number;
    AddSlide("b", kGreen, 80, 60);
    fake.events.KeyDownAt(fake.log.Now() + 500);
    RunRecordingEffects();
    EXPECT_THAT(Calls("Effect"), IsEmpty());
    EXPECT_EQ(ShownPixel(10, 10), kRed);  // the outgoing picture stays
    EXPECT_THAT(fake.dialogs.message_boxes, IsEmpty());
  }
}

TEST_F(ShowTest, SoundsFollowTheSettingAndEmptyNames) {
  AddSlide("a", kRed).SoundFileName = "a.wav";
  AddSlide("b", kGreen);                            // no sound: the one playing goes on
  AddSlide("c", kBlue).SoundFileName = "../c.wav";  // never extracted: silence
  fake.events.KeyDownAt(3500);
  Run();
  EXPECT_THAT(Calls("sound"), ElementsAre("sound started " + Path("a.wav"), "sound stopped"));
  EXPECT_THAT(TicksOf("sound started " + Path("a.wav")), ElementsAre(3003));

  fake.log.Clear();
  settings.SoundEnabled = 0;
  fake.events.KeyDownAt(fake.log.Now() + 3500);
  Run();
  EXPECT_THAT(Calls("sound"), ElementsAre("sound stopped"));
}

TEST_F(ShowTest, PlaysAndPacesOnPastTheTicksA32BitClockWraps) {
  // Slide b's display time carries the show across 2^31 ms and then 2^32 ms; slide a goes out
  // with a wipe paced at 50 ms a frame.
  constexpr int64_t kWrap31 = int64_t{1} << 31, kWrap32 = int64_t{1} << 32;
  constexpr int64_t kLongDisplay = kWrap31 - 1000;
  constexpr int64_t kEnd = kWrap32 + 5000;
  AddSlide("a", kRed).EffectNumber = 19;
  AddSlide("b", kGreen).DisplayTime = static_cast<int32_t>(kLongDisplay);
  fake.events.SetLimits(kEnd, 2'000'000);
  fake.events.KeyDownAt(kEnd);
  Run();

  EXPECT_THAT(fake.dialogs.message_boxes, IsEmpty());
  EXPECT_THAT(TicksOf("cursor shown"), ElementsAre(kEnd));
  // Every wait ends its own interval after it began: a display time or one frame of a wipe.
  std::map<int64_t, int> waits_by_interval;
  std::vector<int64_t> crossed;  // the points a wait's deadline was taken before and lies past
  for (const fake::LoggedCall& wait : fake.log.With("YieldUntil ")) {
    const int64_t deadline = std::stoll(wait.text.substr(11));
    ++waits_by_interval[deadline - wait.tick];
    for (const int64_t wrap : {kWrap31, kWrap32}) {
      if (wait.tick < wrap && deadline >= wrap) crossed.push_back(wrap);
    }
  }
  EXPECT_THAT(waits_by_interval,
              ElementsAre(std::pair{50, 3 * 21}, std::pair{1000, 3}, std::pair{kLongDisplay, 3}));
  EXPECT_THAT(crossed, ElementsAre(kWrap31, kWrap32));
}

}  // namespace
}  // namespace slidesaver::testing

// The window's set-up, the cursor, the music, the password check and the end of the show.
#include "tests/show/show_test_support.h"

namespace slidesaver::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr uint32_t kRed = 0xFF0000, kGreen = 0x00FF00;

struct Geometry {
  int32_t screen_w, screen_h, show_w, show_h;
  const char* move;
};

class ShowGeometryTest : public ShowTest, public ::testing::WithParamInterface<Geometry> {};

TEST_P(ShowGeometryTest, ShowAreaIsCentredWithHalvesTruncated) {
  const Geometry g = GetParam();
  fake.window.SetScreenSize({g.screen_w, g.screen_h});
  fake.window.SetCaptureImages(false);
  package.ShowWidth = g.show_w;
  package.ShowHeight = g.show_h;
  AddSlide("a", kRed, g.show_w, g.show_h);
  fake.events.KeyDownAt(10);
  Run();
  EXPECT_THAT(Calls("Move"), ElementsAre(g.move));
}

INSTANTIATE_TEST_SUITE_P(Screens, ShowGeometryTest,
                         ::testing::Values(Geometry{1024, 768, 800, 600, "Move 112,84,800,600"},
                                           Geometry{640, 480, 800, 600, "Move -80,-60,800,600"},
                                           Geometry{801, 600, 799, 600, "Move 1,0,799,600"}));

TEST_F(ShowTest, ShowAreaSpansItsPixelsOnBlack) {
  package.ShowWidth = 800;
  package.ShowHeight = 600;
  AddSlide("a", kRed, 800, 600);
  fake.events.KeyDownAt(10);
  Run();
  EXPECT_EQ(ScreenPixel(112, 84), kRed);
  EXPECT_EQ(ScreenPixel(911, 683), kRed);
  EXPECT_EQ(ScreenPixel(111, 84), 0u);
  EXPECT_EQ(ScreenPixel(912, 683), 0u);
  EXPECT_EQ(ScreenPixel(112, 83), 0u);
  EXPECT_EQ(ScreenPixel(112, 684), 0u);
}

TEST_F(ShowTest, InputDuringTheSetUpYieldIsDiscarded) {
  AddSlide("a", kRed);
  fake.events.KeyDownAt(0);  // handled by the set-up's yield, before the show starts
  fake.events.MouseDownAt(0);
  fake.events.KeyDownAt(2500);
  Run();
  EXPECT_THAT(TicksOf("cursor shown"), ElementsAre(2500));
}

TEST_F(ShowTest, MusicIsOpenedPlayedKeptAliveAndClosed) {
  package.BgmFileName = "music.mid";
  AddSlide("a", kRed);
  fake.audio.QueueMusicEnded({false, true, false, false, false, true});
  fake.events.KeyDownAt(6500);
  Run();
  EXPECT_THAT(Calls("music"), ElementsAre("music started " + Path("music.mid"), "music ended? no",
                                          "music ended? yes", "music restarted", "music ended? no",
                                          "music ended? no", "music ended? no", "music ended? yes",
                                          "music restarted",
                                          "music ended? no",  // the transition after the stop
                                          "music closed"));
  // The music starts after the window is up, and each check follows a transition.
  EXPECT_THAT(TicksOf("music started"), ElementsAre(0));
  EXPECT_THAT(TicksOf("music ended?"), ElementsAre(1001, 2002, 3003, 4004, 5005, 6006, 6500));
}

TEST_F(ShowTest, MusicSwitchedOffOnlyClosesAndNoMusicSendsNothing) {
  package.BgmFileName = "music.mid";
  settings.BgmEnabled = 0;
  AddSlide("a", kRed);
  fake.events.KeyDownAt(2500);
  Run();
  EXPECT_THAT(Calls("music"), ElementsAre("music closed"));

  fake.log.Clear();
  package.BgmFileName.clear();
  settings.BgmEnabled = -1;
  fake.events.KeyDownAt(fake.log.Now() + 2500);
  Run();
  EXPECT_THAT(Calls("music"), IsEmpty());
}

TEST_F(ShowTest, PasswordSwitchOffEndsTheShowWithoutAsking) {
  AddSlide("a", kRed);
  fake.events.KeyDownAt(1500);
  Run();
  EXPECT_EQ(fake.dialogs.password_checks.size(), 0u);
  EXPECT_THAT(Calls("Grab"), IsEmpty());
  EXPECT_FALSE(fake.window.Visible());
}

TEST_F(ShowTest, AcceptedPasswordEndsTheShow) {
  fake.system.password_on = true;
  AddSlide("a", kRed);
  fake.events.KeyDownAt(1500);
  Run();
  EXPECT_EQ(fake.dialogs.password_checks.size(), 1u);
  EXPECT_THAT(Calls(), ::testing::IsSupersetOf({"Grab on", "Grab off", "password checked 20958"}));
  // The grab ends before the dialog needs the keyboard, and the cursor is visible for it.
  const std::vector<std::string> calls = Calls();
  auto grab_off = std::find(calls.begin(), calls.end(), "Grab off");
  auto verify = std::find(calls.begin(), calls.end(), "password checked 20958");
  auto cursor = std::find(calls.begin(), calls.end(), "cursor shown");
  EXPECT_LT(grab_off, verify);
  EXPECT_LT(cursor, verify);
  EXPECT_THAT(Calls("SetScreenSaverRunning"),
              ElementsAre("SetScreenSaverRunning 1", "SetScreenSaverRunning 0"));
  EXPECT_FALSE(fake.window.Grabbed());
}

TEST_F(ShowTest, RefusedPasswordRestartsTheShowFromTheNewCursorPosition) {
  fake.system.password_on = true;
  AddSlide("a", kRed);
  AddSlide("b", kGreen);
  fake.window.SetCursorPos({500, 400});
  // Refused twice, then accepted. The user leaves the mouse at (10, 10).
  fake.dialogs.on_check_password = [&](platform::WindowHandle) {
    static constexpr bool kAnswers[] = {false, false, true};
    fake.window.SetCursorPos({10, 10});
    return kAnswers[fake.dialogs.password_checks.size() - 1];
  };
  fake.events.MouseMoveAt(1500, {501, 400});  // one pixel: ends the first run
  fake.events.MouseMoveAt(3000, {10, 10});    // where it now rests: goes on
  fake.events.KeyDownAt(3500);                // ends the second run
  fake.events.MouseDownAt(5000);              // ends the third run
  Run();
  EXPECT_EQ(fake.dialogs.password_checks.size(), 3u);
  EXPECT_THAT(TicksOf("password checked"), ElementsAre(1500, 3500, 5000));
  // Each restart hides the cursor again, takes its new place and begins with slide 0.
  EXPECT_THAT(Calls("cursor"), ElementsAre("cursor hidden", "cursor shown",  // first run
                                           "cursor hidden",                  // refused
                                           "cursor hidden", "cursor shown",  // second run
                                           "cursor hidden",                  // refused
                                           "cursor hidden", "cursor shown"));
  EXPECT_THAT(TicksOf("GetCursorPos"), ::testing::IsSupersetOf({0, 1500, 3000, 3500}));
  EXPECT_THAT(TicksOf("LoadPicture " + Path("a")), ::testing::IsSupersetOf({0, 1500, 3500}));
  // Music, top-most state and the screen-saver flag are left as they are.
  EXPECT_THAT(Calls("SetScreenSaverRunning"),
              ElementsAre("SetScreenSaverRunning 1", "SetScreenSaverRunning 0"));
  EXPECT_THAT(Calls("Show"), ::testing::Contains("Show").Times(1));
  EXPECT_TRUE(fake.window.CursorShown());
}

TEST_F(ShowTest, CloseRequestEndsTheShowWithoutThePasswordAndCleansUp) {
  fake.system.password_on = true;
  AddSlide("a", kRed);
  fake.events.CloseAt(1500);
  Run();
  EXPECT_EQ(fake.dialogs.password_checks.size(), 0u);
  EXPECT_THAT(TicksOf("cursor shown"), ElementsAre(1500));
  EXPECT_THAT(Calls("SetScreenSaverRunning"),
              ElementsAre("SetScreenSaverRunning 1", "SetScreenSaverRunning 0"));
  EXPECT_FALSE(fake.window.Grabbed());
  EXPECT_FALSE(fake.window.Visible());
}

TEST_F(ShowTest, CloseRequestDuringTheSetUpIsNotDiscarded) {
  AddSlide("a", kRed);
  fake.events.CloseAt(0);  // arrives in the set-up's yield
  Run();
  EXPECT_THAT(TicksOf("cursor shown"), ElementsAre(0));
  EXPECT_EQ(Calls("LoadPicture").size(), 1u);  // the first picture, and no pass
}

}  // namespace
}  // namespace slidesaver::testing

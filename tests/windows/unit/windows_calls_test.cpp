// The Windows calls behind the show's music, sounds, pointer and password, one by one: each
// request of the show alone, and whole shows on the test platform whose audio, pointer and
// password go through the Win32 platform's calls, recorded in the show's call log.
#include "platform/win32/windows_calls.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "package/extracted_show.h"
#include "platform/fake/fake_platform.h"
#include "show/show_form.h"
#include "tests/windows/unit/test_folder.h"

namespace slidesaver::win32 {
namespace {

using ::testing::ElementsAre;

// Logs "mci COMMAND", "PlaySound PATH|null 0xFLAGS", "ShowCursor 0|1 -> COUNT",
// "VerifyScreenSavePwd WINDOW" and "PwdChangePasswordA PROVIDER OWNER R1 R2"; answers as told.
class RecordingCalls : public WindowsCalls {
 public:
  explicit RecordingCalls(fake::FakeCallLog& log) : log_(log) {}

  std::deque<std::string> mci_replies;  // the next replies to "status bgm mode"
  int cursor_count = 0;                 // ShowCursor's display count
  std::deque<int32_t> verify_answers;   // VerifyScreenSavePwd's BOOLs; then 1
  bool has_password_cpl = true;

  std::string SendMciString(const std::string& command) override {
    log_.Add("mci " + command);
    if (command != "status bgm mode" || mci_replies.empty()) return "";
    std::string reply = mci_replies.front();
    mci_replies.pop_front();
    return reply;
  }
  void PlaySound(const char* path, uint32_t flags) override {
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%X", static_cast<unsigned>(flags));
    log_.Add("PlaySound " + std::string(path ? path : "null") + " " + hex);
  }
  int ShowCursor(bool show) override {
    cursor_count += show ? 1 : -1;
    log_.Add(std::string("ShowCursor ") + (show ? "1" : "0") + " -> " +
             std::to_string(cursor_count));
    return cursor_count;
  }
  std::optional<int32_t> VerifyScreenSavePwd(HWND over) override {
    log_.Add("VerifyScreenSavePwd " + std::to_string(reinterpret_cast<uintptr_t>(over)));
    if (!has_password_cpl) return std::nullopt;
    if (verify_answers.empty()) return 1;
    const int32_t answer = verify_answers.front();
    verify_answers.pop_front();
    return answer;
  }
  void PwdChangePassword(const char* provider, HWND owner, uint32_t reserved1,
                         uint32_t reserved2) override {
    log_.Add("PwdChangePasswordA " + std::string(provider) + " " +
             std::to_string(reinterpret_cast<uintptr_t>(owner)) + " " + std::to_string(reserved1) +
             " " + std::to_string(reserved2));
  }

 private:
  fake::FakeCallLog& log_;
};

HWND WindowOf(platform::WindowHandle handle) {
  return reinterpret_cast<HWND>(static_cast<uintptr_t>(handle));
}

class WindowsCallsTest : public ::testing::Test {
 protected:
  fake::FakeCallLog log;
  RecordingCalls calls{log};
};

TEST_F(WindowsCallsTest, EachAudioRequestIsItsMciStringsOrPlaySound) {
  const struct {
    const char* what;
    std::function<void(platform::Audio&)> request;
    std::vector<std::string> calls;
  } cases[] = {
      {"start",
       [](platform::Audio& a) { a.StartMusic("C:\\W\\temp1\\m u.mid"); },
       {"mci open \"C:\\W\\temp1\\m u.mid\" alias bgm", "mci play bgm"}},
      {"ended", [](platform::Audio& a) { a.MusicEnded(); }, {"mci status bgm mode"}},
      {"restart",
       [](platform::Audio& a) { a.RestartMusic(); },
       {"mci seek bgm to start", "mci play bgm"}},
      {"close", [](platform::Audio& a) { a.CloseMusic(); }, {"mci close bgm"}},
      {"sound",
       [](platform::Audio& a) { a.PlaySound("C:\\W\\temp1\\a.wav"); },
       {"PlaySound C:\\W\\temp1\\a.wav 0x20003"}},
      {"stop", [](platform::Audio& a) { a.StopSound(); }, {"PlaySound null 0x40"}},
  };
  const auto audio = MakeWinAudio(calls);
  for (const auto& c : cases) {
    log.Clear();
    c.request(*audio);
    EXPECT_EQ(log.Texts(), c.calls) << c.what;
  }
}

TEST_F(WindowsCallsTest, MusicHasEndedOnlyWhenTheReplyBeginsWithStopped) {
  const struct {
    const char* reply;
    bool ended;
  } cases[] = {{"playing", false}, {"stopped", true}, {"Stopped", false},
               {"stop", false},    {"", false},       {"stopped at end", true}};
  const auto audio = MakeWinAudio(calls);
  for (const auto& c : cases) {
    calls.mci_replies = {c.reply};
    EXPECT_EQ(audio->MusicEnded(), c.ended) << '"' << c.reply << '"';
  }
}

TEST_F(WindowsCallsTest, ShowCursorIsCalledUntilTheCountSaysHiddenOrShown) {
  const struct {
    int count;
    bool visible;
    std::vector<std::string> calls;
  } cases[] = {
      {0, false, {"ShowCursor 0 -> -1"}},
      {-1, false, {"ShowCursor 0 -> -2"}},
      {1, false, {"ShowCursor 0 -> 0", "ShowCursor 0 -> -1"}},
      {-1, true, {"ShowCursor 1 -> 0"}},
      {-2, true, {"ShowCursor 1 -> -1", "ShowCursor 1 -> 0"}},
      {0, true, {"ShowCursor 1 -> 1"}},
  };
  for (const auto& c : cases) {
    log.Clear();
    calls.cursor_count = c.count;
    ShowCursorUntil(c.visible, calls);
    EXPECT_EQ(log.Texts(), c.calls) << c.count << (c.visible ? " shown" : " hidden");
  }
}

TEST_F(WindowsCallsTest, PasswordAcceptedByTheLowWordOfVerifyScreenSavePwd) {
  const struct {
    std::optional<int32_t> answer;  // none: no password.cpl
    bool accepted;
  } cases[] = {{0, false},      {1, true},  {0x10000, false},
               {0x10001, true}, {-1, true}, {std::nullopt, true}};
  for (const auto& c : cases) {
    log.Clear();
    calls.has_password_cpl = c.answer.has_value();
    calls.verify_answers = {c.answer.value_or(0)};
    EXPECT_EQ(CheckScreenSaverPassword(calls, WindowOf(0x51DE)), c.accepted)
        << (c.answer ? std::to_string(*c.answer) : "no password.cpl");
    EXPECT_THAT(log.Texts(), ElementsAre("VerifyScreenSavePwd 20958"));
  }
  log.Clear();
  ChangeScreenSaverPassword(calls, WindowOf(567));
  EXPECT_THAT(log.Texts(), ElementsAre("PwdChangePasswordA SCRSAVE 567 0 0"));
}

// The test platform's show window, its pointer through ShowCursor.
class CursorThroughWindows : public platform::ShowWindow {
 public:
  CursorThroughWindows(fake::FakeShowWindow& window, WindowsCalls& calls)
      : window_(window), calls_(calls) {}
  void Move(int32_t left, int32_t top, int32_t width, int32_t height) override {
    window_.Move(left, top, width, height);
  }
  void Present(const gdi::Bitmap& image, std::span<const gdi::Rect> damage) override {
    window_.Present(image, damage);
  }
  platform::ScreenSize GetScreenSize() override { return window_.GetScreenSize(); }
  void SetInputSink(platform::InputSink* sink) override { window_.SetInputSink(sink); }
  void Show() override { window_.Show(); }
  void Hide() override { window_.Hide(); }
  void SetTopMost() override { window_.SetTopMost(); }
  void SetCursorVisible(bool visible) override { ShowCursorUntil(visible, calls_); }
  platform::Point GetCursorPos() override { return window_.GetCursorPos(); }
  void Grab(bool on) override { window_.Grab(on); }
  platform::WindowHandle Handle() override { return window_.Handle(); }

 private:
  fake::FakeShowWindow& window_;
  WindowsCalls& calls_;
};

// The test platform's dialogs, the password checked through VerifyScreenSavePwd.
class PasswordThroughWindows : public platform::Dialogs {
 public:
  PasswordThroughWindows(fake::FakeDialogs& dialogs, WindowsCalls& calls)
      : dialogs_(dialogs), calls_(calls) {}
  void MessageBox(const std::string& text, const std::string& title,
                  platform::MessageIcon icon) override {
    dialogs_.MessageBox(text, title, icon);
  }
  void ShowSettingsDialog(platform::SettingsDialogModel& settings) override {
    dialogs_.ShowSettingsDialog(settings);
  }
  bool CheckPassword(platform::WindowHandle over) override {
    return CheckScreenSaverPassword(calls_, WindowOf(over));
  }
  void ChangePassword(platform::WindowHandle owner) override {
    ChangeScreenSaverPassword(calls_, WindowOf(owner));
  }

 private:
  fake::FakeDialogs& dialogs_;
  WindowsCalls& calls_;
};

class WindowsShowTest : public ::testing::Test {
 protected:
  WindowsShowTest() {
    package.ShowWidth = 80;
    package.ShowHeight = 60;
    settings.BgmEnabled = -1;
    settings.SoundEnabled = -1;
    fake.events.SetLimits(10'000'000, 2'000'000);
  }

  SlideEntry& AddSlide(const std::string& name, uint32_t rgb) {
    fake.pictures.Add(name, gdi::Bitmap::Color(20, 10, rgb));
    SlideEntry slide;
    slide.PictureFileName = name;
    slide.DisplayTime = 1000;
    package.Slides.push_back(slide);
    package.SlideCount = static_cast<int32_t>(package.Slides.size());
    return package.Slides.back();
  }
  void Run() { RunShowForm(platform, package, settings, extracted); }
  std::vector<std::string> Calls(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const std::string& text : fake.log.Texts()) {
      if (text.starts_with(prefix)) out.push_back(text);
    }
    return out;
  }
  std::vector<int64_t> TicksOf(const std::string& prefix) const {
    std::vector<int64_t> out;
    for (const fake::LoggedCall& call : fake.log.With(prefix)) out.push_back(call.tick);
    return out;
  }
  std::string Path(const std::string& name) const { return extracted.Folder() + name; }

  testing::TestFolder temp;
  fake::FakePlatform fake;
  RecordingCalls calls{fake.log};
  std::unique_ptr<platform::Audio> audio = MakeWinAudio(calls);
  CursorThroughWindows window{fake.window, calls};
  PasswordThroughWindows dialogs{fake.dialogs, calls};
  platform::Platform platform{fake.process, fake.files, fake.system,   fake.events,
                              window,       *audio,     fake.pictures, dialogs};
  PackageHeader package;
  Settings settings;
  ExtractedShow extracted{fake.files, temp / "temp1\\"};  // not made: nothing to remove
};

TEST_F(WindowsShowTest, MusicIsOpenedPlayedKeptAliveAndClosed) {
  package.BgmFileName = "music.mid";
  AddSlide("a", 0xFF0000);
  calls.mci_replies = {"playing", "stopped", "Stopped", "stop", "", "stopped at end"};
  fake.events.KeyDownAt(6500);
  Run();
  EXPECT_THAT(Calls("mci"),
              ElementsAre("mci open \"" + Path("music.mid") + "\" alias bgm", "mci play bgm",
                          "mci status bgm mode",  // playing
                          "mci status bgm mode", "mci seek bgm to start", "mci play bgm",
                          "mci status bgm mode",  // Stopped
                          "mci status bgm mode",  // stop
                          "mci status bgm mode",  // ""
                          "mci status bgm mode", "mci seek bgm to start", "mci play bgm",
                          "mci status bgm mode",  // the transition after the stop
                          "mci close bgm"));
  EXPECT_THAT(TicksOf("mci open"), ElementsAre(0));
  EXPECT_THAT(TicksOf("mci status"), ElementsAre(1001, 2002, 3003, 4004, 5005, 6006, 6500));
}

TEST_F(WindowsShowTest, SoundsAndTheirPurge) {
  AddSlide("a", 0xFF0000).SoundFileName = "a.wav";
  AddSlide("b", 0x00FF00).SoundFileName = "b.wav";
  fake.events.KeyDownAt(1200);
  Run();
  EXPECT_THAT(Calls("PlaySound"),
              ElementsAre("PlaySound " + Path("b.wav") + " 0x20003",
                          "PlaySound " + Path("a.wav") + " 0x20003", "PlaySound null 0x40"));
  EXPECT_THAT(TicksOf("PlaySound"), ElementsAre(1001, 1200, 1200));
}

TEST_F(WindowsShowTest, RefusedPasswordsHideThePointerAgain) {
  fake.system.password_on = true;
  AddSlide("a", 0xFF0000);
  // Refused; low 16 bits zero: refused; accepted.
  calls.verify_answers = {0, 0x10000, 1};
  fake.events.KeyDownAt(1500);
  fake.events.KeyDownAt(3500);
  fake.events.MouseDownAt(5000);
  Run();
  EXPECT_THAT(TicksOf("VerifyScreenSavePwd"), ElementsAre(1500, 3500, 5000));
  EXPECT_THAT(Calls("VerifyScreenSavePwd"), ::testing::Each("VerifyScreenSavePwd 20958"));
  EXPECT_THAT(Calls("ShowCursor"),
              ElementsAre("ShowCursor 0 -> -1", "ShowCursor 1 -> 0",  // first run
                          "ShowCursor 0 -> -1",                       // refused
                          "ShowCursor 0 -> -2", "ShowCursor 1 -> -1", "ShowCursor 1 -> 0",
                          "ShowCursor 0 -> -1",  // refused
                          "ShowCursor 0 -> -2", "ShowCursor 1 -> -1", "ShowCursor 1 -> 0"));
  EXPECT_EQ(calls.cursor_count, 0);
}

TEST_F(WindowsShowTest, AnErrorClosesTheMusicAndPurgesTheSound) {
  package.BgmFileName = "music.mid";
  settings.BgmEnabled = 0;  // not opened, closed all the same
  AddSlide("a", 0xFF0000);
  AddSlide("b", 0x00FF00);
  fake.pictures.AddUndecodable("b");
  Run();
  EXPECT_THAT(Calls("mci"), ElementsAre("mci close bgm"));
  EXPECT_THAT(Calls("PlaySound"), ElementsAre("PlaySound null 0x40"));
  EXPECT_THAT(Calls("ShowCursor"), ElementsAre("ShowCursor 0 -> -1", "ShowCursor 1 -> 0"));
}

}  // namespace
}  // namespace slidesaver::win32

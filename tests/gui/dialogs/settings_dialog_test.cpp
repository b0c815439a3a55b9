// The settings dialog of the real player (/C) on its own display, driven by mouse and keyboard.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <memory>

#include <gtest/gtest.h>

#include "gui_session.h"

namespace slidesaver::gui_test {
namespace {

const std::string kAllOn("\xFF\xFF\xFF\xFF", 4);
const std::string kAllOff("\0\0\0\0", 4);
const std::string kMusicOnSoundsOff("\xFF\xFF\0\0", 4);
const std::string kMusicOffSoundsOn("\0\0\xFF\xFF", 4);

// Centres of the controls in the dialog's client area (pixels).
struct Spot {
  int x, y;
};
constexpr Spot kMusicOn{24 + 28, 32 + 8};
constexpr Spot kMusicOff{96 + 28, 32 + 8};
constexpr Spot kSoundsOn{24 + 28, 96 + 8};
constexpr Spot kSoundsOff{96 + 28, 96 + 8};
constexpr Spot kOk{192 + 48, 16 + 11};
constexpr Spot kCancel{192 + 48, 42 + 11};

class SettingsDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(folder_);
    InstallPlayer(player_);
  }

  // Starts /C and waits for the dialog to have the keyboard.
  std::string Open(const std::vector<std::string>& prefix = {}) {
    std::vector<std::string> argv = prefix;
    argv.push_back(player_);
    argv.push_back("/C");
    child_ = std::make_unique<Child>(argv, user_.Environment());
    const std::string window = WaitForWindow("^設定$");
    EXPECT_FALSE(window.empty()) << "the settings dialog did not appear";
    EXPECT_TRUE(window.empty() || WaitForFocus(window)) << "the dialog did not take the focus";
    return window;
  }
  void Click(const std::string& window, Spot spot) { ClickAt(window, spot.x, spot.y); }
  int Finish() { return child_->WaitExit(); }

  PrivateUser user_;
  std::string folder_ = user_.Root() + "/app";
  std::string player_ = folder_ + "/show.scr";
  std::string settings_ = folder_ + "/show.set";
  std::unique_ptr<Child> child_;
};

TEST_F(SettingsDialog, OpensWithBothOnWithoutSettingsFileAndHasTheFormsSize) {
  const std::string window = Open();
  ASSERT_FALSE(window.empty());
  const Geometry geometry = WindowGeometry(window);
  EXPECT_EQ(geometry.width, 297);
  EXPECT_EQ(geometry.height, 138);
  SaveScreenshot(TEST_OUTPUT_DIR "/settings-dialog-screen.png");
  SaveWindowShot(window, TEST_OUTPUT_DIR "/settings-dialog.png");
  EXPECT_FALSE(FileExists(settings_)) << "opening the dialog must not create the file";

  Click(window, kOk);
  EXPECT_EQ(Finish(), 0);
  EXPECT_EQ(ReadFile(settings_), kAllOn);
}

TEST_F(SettingsDialog, OkWritesTheChoicesClicked) {
  {
    const std::string window = Open();
    ASSERT_FALSE(window.empty());
    Click(window, kMusicOff);
    Click(window, kSoundsOff);
    Click(window, kOk);
    EXPECT_EQ(Finish(), 0);
    EXPECT_EQ(ReadFile(settings_), kAllOff);
  }
  {
    // From both off: music back on, sounds left off.
    const std::string window = Open();
    ASSERT_FALSE(window.empty());
    Click(window, kMusicOn);
    Click(window, kSoundsOff);
    Click(window, kOk);
    EXPECT_EQ(Finish(), 0);
    EXPECT_EQ(ReadFile(settings_), kMusicOnSoundsOff);
  }
  {
    // The groups are independent: choosing in one leaves the other's choice alone.
    const std::string window = Open();
    ASSERT_FALSE(window.empty());
    Click(window, kSoundsOn);
    Click(window, kMusicOff);
    Click(window, kOk);
    EXPECT_EQ(Finish(), 0);
    EXPECT_EQ(ReadFile(settings_), kMusicOffSoundsOn);
  }
}

TEST_F(SettingsDialog, ShowsTheStoredChoicesAndRewritesALongFileAsFourBytes) {
  WriteFile(settings_, kMusicOffSoundsOn + "extra bytes");
  const std::string window = Open();
  ASSERT_FALSE(window.empty());
  Click(window, kOk);
  EXPECT_EQ(Finish(), 0);
  EXPECT_EQ(ReadFile(settings_), kMusicOffSoundsOn);
}

TEST_F(SettingsDialog, CancelCloseBoxAndEscapeWriteNothing) {
  {
    const std::string window = Open();
    ASSERT_FALSE(window.empty());
    Click(window, kMusicOff);
    Click(window, kSoundsOff);
    Click(window, kCancel);
    EXPECT_EQ(Finish(), 0);
    EXPECT_FALSE(FileExists(settings_));
  }
  WriteFile(settings_, kMusicOnSoundsOff);
  {
    const std::string window = Open();
    ASSERT_FALSE(window.empty());
    Click(window, kMusicOff);
    Click(window, kCancel);
    EXPECT_EQ(Finish(), 0);
    EXPECT_EQ(ReadFile(settings_), kMusicOnSoundsOff);
  }
  {
    const std::string window = Open();
    ASSERT_FALSE(window.empty());
    Click(window, kSoundsOn);
    RunTool({DIALOG_HOST, "close", window});
    EXPECT_EQ(Finish(), 0);
    EXPECT_EQ(ReadFile(settings_), kMusicOnSoundsOff);
  }
  {
    const std::string window = Open();
    ASSERT_FALSE(window.empty());
    Click(window, kSoundsOn);
    PressKeys({"Escape"});
    EXPECT_EQ(Finish(), 0);
    EXPECT_EQ(ReadFile(settings_), kMusicOnSoundsOff);
  }
}

TEST_F(SettingsDialog, TabGoesFromMusicToSoundsToOkToCancel) {
  {
    // The focus starts on the music choice; arrows choose within a group.
    const std::string window = Open();
    ASSERT_FALSE(window.empty());
    PressKeys({"Right", "Tab", "Right", "Tab", "space"});
    EXPECT_EQ(Finish(), 0);
    EXPECT_EQ(ReadFile(settings_), kAllOff);
  }
  {
    const std::string window = Open();
    ASSERT_FALSE(window.empty());
    PressKeys({"Left", "Tab", "Tab", "Tab", "space"});  // music on again, then キャンセル
    EXPECT_EQ(Finish(), 0);
    EXPECT_EQ(ReadFile(settings_), kAllOff);
  }
  {
    const std::string window = Open();
    ASSERT_FALSE(window.empty());
    // Backwards from the music choice: キャンセル, OK, the sounds; then forwards to OK.
    PressKeys({"shift+Tab", "shift+Tab", "shift+Tab", "Left", "shift+Tab", "Tab", "Tab", "space"});
    EXPECT_EQ(Finish(), 0);
    EXPECT_EQ(ReadFile(settings_), kMusicOffSoundsOn);
  }
}

// A save that fails is reported and ends the process with a non-zero status; the folder is
// left as it was. Root writes anywhere, so then the player runs as "nobody".
TEST_F(SettingsDialog, UnwritableFolderGivesAnErrorAndANonZeroExit) {
  std::vector<std::string> prefix;
  if (geteuid() == 0) {
    prefix = {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "--"};
    for (const auto& entry : std::filesystem::recursive_directory_iterator(user_.Root()))
      if (entry.path().string().rfind(folder_, 0) != 0) chown(entry.path().c_str(), 65534, 65534);
    chmod(user_.Root().c_str(), 0755);
  }
  chmod(folder_.c_str(), 0555);

  const std::string window = Open(prefix);
  ASSERT_FALSE(window.empty());
  Click(window, kMusicOff);
  Click(window, kOk);
  const std::string message = WaitForWindow("^show$");
  ASSERT_FALSE(message.empty()) << "no message box reported the failed save";
  RunTool({"xdotool", "windowfocus", "--sync", message});
  PressKeys({"Return"});
  EXPECT_NE(Finish(), 0);
  EXPECT_FALSE(FileExists(settings_));
  EXPECT_EQ(std::filesystem::directory_iterator(folder_)->path().filename(), "show.scr")
      << "the failed save left something behind";
}

TEST_F(SettingsDialog, NoDisplayEndsWithAnErrorStatus) {
  std::vector<std::string> environment = user_.Environment();
  environment.push_back("DISPLAY=");
  environment.push_back("WAYLAND_DISPLAY=");
  Child player({player_, "/C"}, environment);
  EXPECT_EQ(player.WaitExit(), 1);
  EXPECT_FALSE(FileExists(settings_));
}

}  // namespace
}  // namespace slidesaver::gui_test

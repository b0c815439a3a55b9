// The real player started in /C and /S modes on the test's display.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "package/write_package.h"
#include "tests/gui/dialogs/gui_session.h"

namespace slidesaver::gui_test {
namespace {

namespace fs = std::filesystem;

// A copy of the player at `path` carrying a Package that offers no settings.
void InstallPlayerWithoutSettings(const std::string& path) {
  PackageHeader package;
  package.ShowWidth = 320;
  package.ShowHeight = 240;
  package.HasSettings = 0;
  const std::vector<uint8_t> bytes = WritePackage(package);
  fs::copy_file(SLIDESAVER_PLAYER, path, fs::copy_options::overwrite_existing);
  std::ofstream file(path, std::ios::binary | std::ios::app);
  file.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  file.close();
  ASSERT_TRUE(file);
  chmod(path.c_str(), 0755);
}

std::string WindowName(const std::string& window) {
  std::string name = RunTool({"xdotool", "getwindowname", window}).output;
  while (!name.empty() && name.back() == '\n') name.pop_back();
  return name;
}

int CountWindows(const std::string& title_regex) {
  const std::string out =
      RunTool({"xdotool", "search", "--onlyvisible", "--name", title_regex}).output;
  return static_cast<int>(std::count(out.begin(), out.end(), '\n'));
}

// Answers the message box titled `title` with Return and waits until it is gone.
void Acknowledge(const std::string& window) {
  ASSERT_TRUE(WaitForFocus(window)) << "the message box never got the focus";
  PressKeys({"Return"});
  EXPECT_TRUE(WaitForWindowGone(window));
}

class StartUpGui : public ::testing::Test {
 protected:
  std::string Player(const std::string& name) {
    const std::string path = user.Root() + "/" + name;
    InstallPlayerWithoutSettings(path);
    return path;
  }
  PrivateUser user;
};

TEST_F(StartUpGui, ConfigureWithoutSettingsShowsTheMessageBox) {
  const std::string player = Player("nosettings");
  Child child({player, "/C"}, user.Environment());
  const std::string box = WaitForWindow("^スクリーンセーバー$");
  ASSERT_FALSE(box.empty()) << "no message box appeared";
  EXPECT_EQ(WindowName(box), "スクリーンセーバー");
  const Geometry g = WindowGeometry(box);
  EXPECT_GT(g.width, 100);  // a real dialog with its text, not an empty frame
  EXPECT_GT(g.height, 50);
  SaveWindowShot(box, user.Root() + "/box.png");
  EXPECT_TRUE(child.Running());  // waiting for the user
  Acknowledge(box);
  EXPECT_EQ(child.WaitExit(), 0);
  EXPECT_FALSE(FileExists(user.Root() + "/nosettings.set"));  // nothing was written
}

TEST_F(StartUpGui, ASecondProcessOfTheSameFileEndsAtOnceOthersRunFreely) {
  const std::string player = Player("first");
  const std::string other = Player("other");
  Child first({player, "/C"}, user.Environment());
  const std::string box = WaitForWindow("^スクリーンセーバー$");
  ASSERT_FALSE(box.empty());

  Child second({player, "/C"}, user.Environment());
  EXPECT_EQ(second.WaitExit(20s), 0);
  EXPECT_EQ(CountWindows("^スクリーンセーバー$"), 1);

  Child third({other, "/c"}, user.Environment());  // another program file
  EXPECT_TRUE(Eventually([] { return CountWindows("^スクリーンセーバー$") == 2; }));
  EXPECT_TRUE(third.Running());

  // The newest box took the focus; answer it, then give the first box the focus and answer it.
  std::string focused;
  ASSERT_TRUE(Eventually([&] {
    focused = FocusedWindow();
    return !focused.empty() && focused != box && CountWindows("^スクリーンセーバー$") == 2;
  }));
  Acknowledge(focused);
  EXPECT_EQ(third.WaitExit(), 0);
  RunTool({"xdotool", "windowfocus", "--sync", box});
  Acknowledge(box);
  EXPECT_EQ(first.WaitExit(), 0);
  Child again({player, "/C"}, user.Environment());
  const std::string box_again = WaitForWindow("^スクリーンセーバー$");
  ASSERT_FALSE(box_again.empty()) << "the lock outlived its process";
  Acknowledge(box_again);
  EXPECT_EQ(again.WaitExit(), 0);
}

TEST_F(StartUpGui, ShowRefusesAnExtractionFolderThatIsASymlink) {
  const std::string player = Player("refused");
  // The runtime folder's slidesaver entry points elsewhere: extraction must not follow it.
  std::string runtime;
  for (const std::string& entry : user.Environment()) {
    if (entry.rfind("XDG_RUNTIME_DIR=", 0) == 0) runtime = entry.substr(16);
  }
  ASSERT_FALSE(runtime.empty());
  fs::create_directories(runtime);
  fs::create_directory(user.Root() + "/elsewhere");
  fs::create_directory_symlink(user.Root() + "/elsewhere", runtime + "/slidesaver");

  Child child({player, "/S"}, user.Environment());
  const std::string box = WaitForWindow("^ポムレット$");
  ASSERT_FALSE(box.empty()) << "no message box appeared";
  Acknowledge(box);
  EXPECT_EQ(child.WaitExit(), 1);
  EXPECT_TRUE(fs::is_empty(user.Root() + "/elsewhere"));
}

// A close signal while a dialog waits for the user: the dialog goes as if cancelled, nothing
// is written, and the process ends normally (a message box, the settings dialog, the
// password change).
TEST_F(StartUpGui, ACloseSignalEndsAnOpenDialogAsIfCancelled) {
  const std::string without = Player("plain");
  const std::string with = user.Root() + "/offered.scr";
  InstallPlayer(with);
  struct Case {
    std::string player, mode, title;
    int sig;
  };
  for (const Case& c :
       {Case{without, "/C", "^スクリーンセーバー$", SIGTERM}, Case{with, "/C", "^設定$", SIGHUP},
        Case{with, "/A", "^パスワードの変更$", SIGINT}}) {
    SCOPED_TRACE(c.title);
    Child child({c.player, c.mode}, user.Environment());
    const std::string window = WaitForWindow(c.title);
    ASSERT_FALSE(window.empty()) << "no dialog appeared";
    kill(child.Pid(), c.sig);
    EXPECT_EQ(child.WaitExit(20s), 0);
    EXPECT_TRUE(WaitForWindowGone(window, 5s));
  }
  EXPECT_FALSE(FileExists(without + ".set"));
  EXPECT_FALSE(FileExists(user.Root() + "/offered.set"));
  EXPECT_FALSE(FileExists(user.PasswordPath()));
}

}  // namespace
}  // namespace slidesaver::gui_test

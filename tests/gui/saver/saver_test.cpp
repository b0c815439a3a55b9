// The player as the program of an X screen saver and of a settings app's preview, in a window of
// its own, and its command line, on the test's own display: where its pictures land (seen on
// screenshots), what ends it, and that it leaves no extraction folder behind.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include "tests/gui/dialogs/gui_session.h"
#include "tests/gui/show/player_session.h"

namespace slidesaver::gui_testing {
namespace {

namespace fs = std::filesystem;
using gui_test::Child;
using gui_test::Eventually;
using namespace std::chrono_literals;

constexpr uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kYellow = 0xFFFF00;
constexpr uint32_t kBlack = 0, kMagenta = 0xFF00FF;  // magenta: a test window nobody drew into

// A show area of 480 × 240 filled by one picture of four coloured quarters, crossed by a band of
// one-pixel black and white columns (rows 100 to 139) that a shrinking filter must blend.
PackageHeader Quarters(const std::string& folder, const std::string& file = "quarters.png") {
  const std::string path = folder + "/" + file;
  if (!Shell("convert -size 240x120 xc:#ff0000 xc:#00ff00 +append \\( -size 240x120 xc:#0000ff "
             "xc:#ffff00 +append \\) -append \\( -size 480x40 xc: -fx 'i%2' \\) -geometry "
             "+0+100 -composite -type TrueColor '" +
             path + "'")) {
    throw std::runtime_error("convert failed");
  }
  std::ifstream in(path, std::ios::binary);
  PackageHeader show;
  show.ShowWidth = 480;
  show.ShowHeight = 240;
  show.BackgroundColor = 0x00404040;
  show.SlideCount = 1;
  SlideEntry slide;
  slide.PictureFileName = "0";
  slide.PictureData = Bytes::Copy(
      std::vector<uint8_t>{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()});
  slide.DisplayTime = 600000;
  show.Slides = {slide};
  return show;
}

// The area's four quarters near the corners of the rectangle it was drawn into.
bool QuartersAt(const Screenshot& s, int left, int top, int width, int height, int tolerance = 24) {
  const int right = left + width - 1, bottom = top + height - 1;
  return Near(s.Pixel(left + 2, top + 2), kRed, tolerance) &&
         Near(s.Pixel(right - 2, top + 2), kGreen, tolerance) &&
         Near(s.Pixel(left + 2, bottom - 2), kBlue, tolerance) &&
         Near(s.Pixel(right - 2, bottom - 2), kYellow, tolerance);
}

// A window of the test's own, as a screen saver or a settings app makes it for the player.
class TestWindow {
 public:
  TestWindow(int width, int height, int x, int y) {
    const std::string command = std::string("exec ") + TEST_WINDOW + " " + std::to_string(width) +
                                " " + std::to_string(height) + " " + std::to_string(x) + " " +
                                std::to_string(y);
    int to_child[2], from_child[2];
    if (pipe(to_child) != 0 || pipe(from_child) != 0) throw std::runtime_error("pipe");
    pid_ = fork();
    if (pid_ == 0) {
      dup2(to_child[0], 0);
      dup2(from_child[1], 1);
      close(to_child[1]);
      close(from_child[0]);
      execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    close(to_child[0]);
    close(from_child[1]);
    commands_ = fdopen(to_child[1], "w");
    replies_ = fdopen(from_child[0], "r");
    id_ = Reply();
  }
  ~TestWindow() {
    std::fclose(commands_);  // end of input ends it
    std::fclose(replies_);
    waitpid(pid_, nullptr, 0);
  }
  const std::string& Id() const { return id_; }
  void Command(const std::string& command) {
    std::fprintf(commands_, "%s\n", command.c_str());
    std::fflush(commands_);
    Reply();
  }

 private:
  std::string Reply() {
    char line[64] = {};
    if (!std::fgets(line, sizeof line, replies_)) throw std::runtime_error("test-window ended");
    std::string text = line;
    while (!text.empty() && text.back() == '\n') text.pop_back();
    return text;
  }
  pid_t pid_ = -1;
  FILE* commands_ = nullptr;
  FILE* replies_ = nullptr;
  std::string id_;
};

class SaverProgram : public ::testing::Test {
 protected:
  SaverProgram() { session.Write(Quarters(session.folder())); }

  std::vector<std::string> Environment(const std::vector<std::string>& more = {}) const {
    std::vector<std::string> env = user.Environment();
    env.push_back("XDG_RUNTIME_DIR=" + session.folder() + "/run");
    env.push_back("SDL_AUDIODRIVER=dummy");
    env.insert(env.end(), more.begin(), more.end());
    return env;
  }
  std::unique_ptr<Child> Start(std::vector<std::string> arguments,
                               const std::vector<std::string>& more_environment = {}) {
    arguments.insert(arguments.begin(), session.folder() + "/show.scr");
    return std::make_unique<Child>(arguments, Environment(more_environment));
  }
  bool Shows(std::function<bool(const Screenshot&)> check) {
    return session.WaitForScreen(check, 20s);
  }
  size_t Folders() const { return session.ExtractionFolders().size(); }

  gui_test::PrivateUser user;
  PlayerSession session;
};

TEST_F(SaverProgram, PreviewsInTwoWindowsShowTheWholeAreaAndInputDoesNotEndThem) {
  TestWindow first(320, 240, 20, 20), second(320, 240, 400, 20);
  auto a = Start({"--window-id", first.Id()});
  auto b = Start({"-window-id", std::to_string(std::stoul(second.Id(), nullptr, 16))});
  // 480 × 240 in 320 × 240: 320 × 160, 40 pixels down, black above and below.
  EXPECT_TRUE(Shows([](const Screenshot& s) {
    return QuartersAt(s, 20, 60, 320, 160) && QuartersAt(s, 400, 60, 320, 160);
  })) << "both previews should show all four quarters";
  const Screenshot shot = session.Capture();
  EXPECT_EQ(shot.Pixel(180, 58), kBlack);
  EXPECT_EQ(shot.Pixel(180, 222), kBlack);
  // The band of columns, 1.5 of them to a pixel: mixed, never black or white as a pick would be.
  for (int x = 60; x < 300; x += 7) EXPECT_TRUE(Near(shot.Pixel(x, 140), 0x808080, 64)) << x;
  EXPECT_EQ(Folders(), 2u);

  // One instance per window: a second one on the first window ends at once.
  EXPECT_EQ(Start({"--window-id", first.Id()})->WaitExit(10s), 0);

  // Input over the window belongs to whoever made it.
  Shell("xdotool mousemove 100 100 click 1 key space mousemove 200 200");
  std::this_thread::sleep_for(500ms);
  EXPECT_TRUE(a->Running());

  // A new size: placed again (160 × 80, 80 down).
  first.Command("resize 160 240");
  EXPECT_TRUE(Shows([](const Screenshot& s) { return QuartersAt(s, 20, 100, 160, 80); }));

  // The window destroyed: that show ends through its clean-up.
  second.Command("destroy");
  EXPECT_EQ(b->WaitExit(10s), 0);
  EXPECT_EQ(Folders(), 1u);
  kill(a->Pid(), SIGTERM);
  EXPECT_EQ(a->WaitExit(10s), 0);
  EXPECT_EQ(Folders(), 0u);
}

TEST_F(SaverProgram, RootPlaysInTheScreenSaversWindowElseOnTheRootWindow) {
  TestWindow saver_window(320, 240, 20, 20);
  auto in_window = Start({"--root"}, {"XSCREENSAVER_WINDOW=" + saver_window.Id()});
  EXPECT_TRUE(Shows([](const Screenshot& s) { return QuartersAt(s, 20, 60, 320, 160); }));
  kill(in_window->Pid(), SIGHUP);
  EXPECT_EQ(in_window->WaitExit(10s), 0);

  // On 1024 × 768 the area is centred at its own size, as /S centres it on the screen.
  TestWindow other(100, 100, 800, 600);
  auto on_root = Start({"--root"});
  EXPECT_TRUE(Shows([](const Screenshot& s) { return QuartersAt(s, 272, 264, 480, 240, 0); }));
  const Screenshot shot = session.Capture();
  EXPECT_EQ(shot.Pixel(271, 264), kBlack);
  EXPECT_EQ(shot.Pixel(752, 503), kBlack);
  EXPECT_EQ(shot.Pixel(850, 650), kMagenta);  // a window above the root was left alone
  kill(on_root->Pid(), SIGINT);
  EXPECT_EQ(on_root->WaitExit(10s), 0);
  EXPECT_EQ(Folders(), 0u);
}

TEST_F(SaverProgram, OwnWindowFollowsItsSizeAndClosingItEnds) {
  auto player = Start({"--window"});
  const std::string window = gui_test::WaitForWindow("^slidesaver$", 20s);
  ASSERT_FALSE(window.empty());
  const gui_test::Geometry g = gui_test::WindowGeometry(window);
  EXPECT_EQ(g.width, 480);  // the area fits the screen: its own size
  EXPECT_EQ(g.height, 240);
  EXPECT_TRUE(Shows([&](const Screenshot& s) { return QuartersAt(s, g.x, g.y, 480, 240, 0); }));

  // Scaled down from what the window held, then at its own size again, centred.
  Shell("xdotool windowsize " + window + " 240 240");
  EXPECT_TRUE(Shows([&](const Screenshot& s) { return QuartersAt(s, g.x, g.y + 60, 240, 120); }));
  Shell("xdotool windowsize " + window + " 600 300");
  EXPECT_TRUE(
      Shows([&](const Screenshot& s) { return QuartersAt(s, g.x + 60, g.y + 30, 480, 240, 0); }));
  Shell("xdotool mousemove " + std::to_string(g.x + 10) + " " + std::to_string(g.y + 10) +
        " click 1 key Escape");
  std::this_thread::sleep_for(500ms);
  EXPECT_TRUE(player->Running());

  Shell(std::string(TEST_WINDOW) + " --close " + window);
  EXPECT_EQ(player->WaitExit(10s), 0);
  EXPECT_EQ(Folders(), 0u);
}

TEST_F(SaverProgram, ShowOfAnyFileWithItsSettingsBesideIt) {
  // The plain player (no show of its own) plays a show file of another name.
  const std::string other = session.folder() + "/shows";
  fs::create_directory(other);
  fs::copy_file(session.folder() + "/show.scr", other + "/holiday.bin");
  TestWindow window(320, 240, 20, 20);
  Child player({SLIDESAVER_PLAYER, "--show", other + "/holiday.bin", "--window-id", window.Id()},
               Environment());
  EXPECT_TRUE(Shows([](const Screenshot& s) { return QuartersAt(s, 20, 60, 320, 160); }));
  kill(player.Pid(), SIGTERM);
  EXPECT_EQ(player.WaitExit(10s), 0);
  EXPECT_EQ(Folders(), 0u);
}

// Windows' player carries the show here: the Linux player plays the same show from it.
TEST(WindowsShow, PlaysOnLinux) {
  const char* windows_player = std::getenv("WINDOWS_PLAYER");
  if (!windows_player) GTEST_SKIP() << "WINDOWS_PLAYER names no Windows player";
  PlayerSession session;
  const std::string folder = session.folder();
  Shell(
      "convert -size 240x120 xc:#ff0000 xc:#00ff00 +append \\( -size 240x120 xc:#0000ff "
      "xc:#ffff00 +append \\) -append -quality 95 '" +
      folder + "/quarters.jpg'");
  std::ofstream(folder + "/show.toml") << "width = 480\nheight = 240\n\n[[slide]]\n"
                                          "picture = \"quarters.jpg\"\ntime = 600000\n";
  ASSERT_TRUE(Shell(std::string(SLIDEPACK) + " build '" + folder + "/show.toml' -o '" + folder +
                    "/windows.scr' --player '" + windows_player + "'"));
  char magic[2] = {};
  std::ifstream(folder + "/windows.scr", std::ios::binary).read(magic, 2);
  ASSERT_EQ(std::string(magic, 2), "MZ") << "not the Windows player";
  TestWindow window(320, 240, 20, 20);
  Child player({SLIDESAVER_PLAYER, "--show", folder + "/windows.scr", "--window-id", window.Id()},
               {"XDG_RUNTIME_DIR=" + folder + "/run", "SDL_AUDIODRIVER=dummy"});
  EXPECT_TRUE(session.WaitForScreen(
      [](const Screenshot& s) { return QuartersAt(s, 20, 60, 320, 160, 40); }, 20s));
  kill(player.Pid(), SIGTERM);
  EXPECT_EQ(player.WaitExit(10s), 0);
  EXPECT_THAT(session.ExtractionFolders(), ::testing::IsEmpty());
}

}  // namespace
}  // namespace slidesaver::gui_testing

// The player's command line as a terminal sees it: --help, --version, a mistake, and no display.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "tests/gui/dialogs/gui_session.h"
#include "tests/gui/show/player_session.h"

namespace slidesaver::gui_testing {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

struct Outcome {
  int status = -1;
  std::string out, err;
  std::chrono::milliseconds took{};
};

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class CommandLine : public ::testing::Test {
 protected:
  CommandLine() {
    PackageHeader show;
    show.ShowWidth = 64;
    show.ShowHeight = 48;
    show.SlideCount = 1;
    SlideEntry slide;
    slide.PictureFileName = "0";
    slide.PictureData = Bytes::Copy(MakePicture(session.folder(), "a.png", 64, 48, "#ff0000"));
    slide.DisplayTime = 600000;
    show.Slides = {slide};
    session.Write(show);
  }

  // The show file with these arguments, without a display unless `environment` brings one.
  Outcome Run(const std::string& arguments, const std::string& environment = "") {
    const std::string folder = session.folder();
    const auto start = std::chrono::steady_clock::now();
    const auto status = Shell(
        "env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER "
        "XDG_RUNTIME_DIR='" +
        folder + "/run' SDL_AUDIODRIVER=dummy " + environment + " timeout -s KILL 20 '" + folder +
        "/show.scr' " + arguments + " >'" + folder + "/out' 2>'" + folder + "/err'; echo $?");
    Outcome o;
    o.took = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    o.status = status ? std::stoi(*status) : -1;
    o.out = Slurp(folder + "/out");
    o.err = Slurp(folder + "/err");
    return o;
  }

  PlayerSession session;
};

TEST_F(CommandLine, HelpVersionAndAMistake) {
  const Outcome help = Run("--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_THAT(help.out, ::testing::StartsWith("Usage: slidesaver"));
  EXPECT_EQ(help.err, "");
  const Outcome version = Run("-version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "slidesaver " SLIDESAVER_VERSION "\n");
  for (const char* wrong : {"--bogus", "/S --window-id nothing", "--root /S"}) {
    const Outcome mistake = Run(wrong);
    EXPECT_EQ(mistake.status, 2) << wrong;
    EXPECT_EQ(mistake.out, "") << wrong;
    EXPECT_THAT(mistake.err, ::testing::StartsWith("slidesaver: ")) << wrong;
    EXPECT_THAT(mistake.err, ::testing::HasSubstr("--help")) << wrong;
  }
}

TEST_F(CommandLine, WithoutADisplayEveryModeThatShowsSaysSoAndExtractsNothing) {
  for (const char* mode : {"/S", "/s", "/C", "/A 123", "--root", "--window-id 0x200001", "--window",
                           "--show show.scr --window"}) {
    SCOPED_TRACE(mode);
    const Outcome o = Run(mode);
    EXPECT_EQ(o.status, 1);
    EXPECT_THAT(o.err, ::testing::HasSubstr("slidesaver: cannot open display\n"));
    EXPECT_LT(o.took, 2s);
    EXPECT_THAT(session.ExtractionFolders(), ::testing::IsEmpty());
  }
  EXPECT_EQ(Run("/P").status, 0);  // the preview of other systems needs nothing
}

// SDL's virtual drivers: a show nobody sees or ends is refused, unless a test asks for one.
TEST_F(CommandLine, AnInvisibleShowOnlyWhenAskedFor) {
  for (const char* driver : {"dummy", "offscreen"}) {
    SCOPED_TRACE(driver);
    const Outcome o = Run("/S", std::string("SDL_VIDEODRIVER=") + driver);
    EXPECT_EQ(o.status, 1);
    EXPECT_THAT(o.err,
                ::testing::HasSubstr(std::string("video driver \"") + driver + "\" shows nothing"));
    EXPECT_LT(o.took, 3s);
    EXPECT_THAT(session.ExtractionFolders(), ::testing::IsEmpty());
  }
  const std::string folder = session.folder();
  gui_test::Child player({"env", "-u", "DISPLAY", folder + "/show.scr", "/S"},
                         {"XDG_RUNTIME_DIR=" + folder + "/run", "SDL_AUDIODRIVER=dummy",
                          "SDL_VIDEODRIVER=offscreen", "SLIDESAVER_INVISIBLE_SHOW=1"});
  EXPECT_TRUE(gui_test::Eventually([&] { return !session.ExtractionFolders().empty(); }));
  kill(player.Pid(), SIGTERM);
  EXPECT_EQ(player.WaitExit(10s), 0);
  EXPECT_THAT(session.ExtractionFolders(), ::testing::IsEmpty());
}

// slidesaver.conf's show or folder gives way to the command line's, so that a default of one
// kind does not break every run of the other; each value of the file that is refused names
// the file and its line.
TEST_F(CommandLine, TheConfigFilesShowGivesWayAndItsRefusedValuesNameTheirLines) {
  const std::string folder = session.folder();
  fs::create_directories(folder + "/config/slidesaver");
  fs::create_directories(folder + "/photos");
  const std::string config = folder + "/config/slidesaver/slidesaver.conf";
  struct Case {
    std::string file, arguments;
    int status;
    std::string error;
  };
  const Case cases[] = {
      {"show = " + folder + "/nowhere.scr\n", "--folder " + folder + "/photos /S", 1,
       "cannot open display"},
      {"folder = " + folder + "/photos\n", "--show " + folder + "/show.scr --root", 1,
       "cannot open display"},
      {"# defaults\ntime = -5\n", "--folder " + folder + "/photos /S", 2,
       ":2: --time: \"-5\" is not a number"},
      {"effects = 0,36\n", "--folder " + folder + "/photos /S", 2, ":1: --effects: \"0,36\""},
      {"background = #GGGGGG\n", "--folder " + folder + "/photos --window", 2,
       ":1: --background: \"#GGGGGG\""},
      {"music = /dev/zero\n", "--folder " + folder + "/photos /S", 2,
       ":1: --music: /dev/zero: not a file"},
      {"folder = " + folder + "/nowhere\n", "/S", 2, ":1: --folder: " + folder + "/nowhere"},
      {"time = -5\n", "--time 100 --folder " + folder + "/photos /S", 1, "cannot open display"},
      {"show = " + folder + "/nowhere.scr\n", "/S", 1, ":1: " + folder + "/nowhere.scr: no show"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file + " with " + c.arguments);
    std::ofstream(config) << c.file;
    std::string environment = "XDG_CONFIG_HOME='" + folder + "/config'";
    if (c.error.ends_with("no show") && std::getenv("DISPLAY"))
      environment += std::string(" DISPLAY=") + std::getenv("DISPLAY");
    const Outcome o = Run(c.arguments, environment);
    EXPECT_EQ(o.status, c.status) << o.err;
    EXPECT_THAT(o.err, ::testing::HasSubstr(c.error));
    if (c.status == 2) {
      EXPECT_THAT(o.err, ::testing::HasSubstr(config + ":"));
    }
  }
  EXPECT_THAT(session.ExtractionFolders(), ::testing::IsEmpty());
}

}  // namespace
}  // namespace slidesaver::gui_testing

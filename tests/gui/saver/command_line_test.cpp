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

}  // namespace
}  // namespace slidesaver::gui_testing

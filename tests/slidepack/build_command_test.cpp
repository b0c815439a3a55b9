// slidepack build and info as a user runs them: the file they make, the round trip through
// unpack, and the errors that leave nothing behind.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <fstream>

#include "package/read_package.h"
#include "package/write_package.h"
#include "slidepack_test_support.h"
#include "test_pictures.h"
#include "tools/slidepack/files.h"
#include "tools/slidepack/players.h"
#include "tools/slidepack/slidepack_error.h"

namespace slidepack_test {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

class BuildCommandTest : public ScratchTest {
 protected:
  void SetUp() override {
    ScratchTest::SetUp();
    std::filesystem::create_directory(dir_ / "media");
    WriteBytes(dir_ / "media" / "a.jpg", SmallJpeg(1, 5000));
    WriteBytes(dir_ / "media" / "b.jpg", SmallJpeg(2, 7000));
    WriteBytes(dir_ / "media" / "s.wav", FakeWave(3));
    WriteBytes(dir_ / "media" / "m.mid", {'M', 'T', 'h', 'd', 0,   0, 0, 6, 0, 0, 0,    1,    0,
                                          96,  'M', 'T', 'r', 'k', 0, 0, 0, 4, 0, 0xFF, 0x2F, 0});
  }

  // Runs a build of `manifest` that must fail; checks the status, that the message says
  // `expected`, and that the folder holds nothing new.
  void ExpectBuildFails(const std::string& manifest, const std::string& expected,
                        const std::vector<std::string>& args = {
                            "build", "show.toml", "-o", "out.scr", "--player", SLIDESAVER_PLAYER}) {
    WriteText(dir_ / "show.toml", manifest);
    const auto before = ListTree(dir_);
    const RunResult result = RunSlidepack(args, dir_);
    EXPECT_EQ(result.status, 1);
    EXPECT_THAT(result.err, StartsWith("slidepack: "));
    EXPECT_THAT(result.err, HasSubstr(expected));
    EXPECT_EQ(ListTree(dir_), before) << "a failed build left files behind";
  }

  const std::string kRichManifest = R"(# a show
width = 800
height = 600
background = "#102030"
settings = true
music = "media/m.mid"
music_name = "BGM.MID"

[[slide]]
picture = "media/a.jpg"
sound = "media/s.wav"
time = 1500
x = 70
y = 60
effect = 28
speed = 1

[[slide]]
picture = "media/b.jpg"
name = [0x83, 0x41, 0x2E, 0x6A, 0x70, 0x67]
effect = 35
overlay = true
transparent = true

[[slide]]
picture = "media/a.jpg"
name = "again.jpg"
sound = "media/s.wav"
sound_name = ""
x = -10
)";
};

TEST_F(BuildCommandTest, OutputIsThePlayerUnchangedFollowedByThePackage) {
  WriteText(dir_ / "show.toml", kRichManifest);
  const RunResult result =
      RunSlidepack({"build", "show.toml", "-o", "out.scr", "--player", SLIDESAVER_PLAYER}, dir_);
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, "");

  // The Package the manifest describes, written by the one writer.
  slidesaver::PackageHeader expected;
  expected.ShowWidth = 800;
  expected.ShowHeight = 600;
  expected.BackgroundColor = 0x302010;
  expected.HasSettings = -1;
  expected.BgmFileName = "BGM.MID";
  expected.BgmData = ToBytes(ReadBytes(dir_ / "media" / "m.mid"));
  auto slide = [&](std::string name, const char* picture, std::string sound_name, bool sound) {
    slidesaver::SlideEntry entry;
    entry.PictureFileName = std::move(name);
    entry.PictureData = ToBytes(ReadBytes(dir_ / "media" / picture));
    entry.SoundFileName = std::move(sound_name);
    if (sound) entry.SoundData = ToBytes(ReadBytes(dir_ / "media" / "s.wav"));
    entry.DisplayTime = 2000;
    return entry;
  };
  expected.Slides.push_back(slide("a.jpg", "a.jpg", "s.wav", true));
  expected.Slides[0].DisplayTime = 1500;
  expected.Slides[0].PictureX = 70;
  expected.Slides[0].PictureY = 60;
  expected.Slides[0].EffectNumber = 28;
  expected.Slides[0].SpeedExponent = 1;
  expected.Slides.push_back(slide("\x83\x41.jpg", "b.jpg", "", false));
  expected.Slides[1].EffectNumber = 35;
  expected.Slides[1].Overlay = -1;
  expected.Slides[1].Transparent = -1;
  expected.Slides.push_back(slide("again.jpg", "a.jpg", "", true));
  expected.Slides[2].PictureX = -10;
  expected.SlideCount = 3;
  const std::vector<uint8_t> package = slidesaver::WritePackage(expected);

  const std::vector<uint8_t> player = ReadBytes(SLIDESAVER_PLAYER);
  const std::vector<uint8_t> built = ReadBytes(dir_ / "out.scr");
  ASSERT_EQ(built.size(), player.size() + package.size());
  EXPECT_TRUE(std::equal(player.begin(), player.end(), built.begin())) << "the player was changed";
  EXPECT_TRUE(std::equal(package.begin(), package.end(), built.begin() + player.size()));

  // The player reads it back, found at the end of its own file.
  slidesaver::PackageHeader read;
  const auto status = slidesaver::ReadPackage(built, nullptr, read);
  EXPECT_TRUE(status.complete) << status.problem;
  EXPECT_EQ(status.package_offset, player.size());
  EXPECT_EQ(read.Slides.size(), 3u);

  struct stat built_status {};
  ASSERT_EQ(stat((dir_ / "out.scr").c_str(), &built_status), 0);
  EXPECT_NE(built_status.st_mode & S_IXUSR, 0u) << "the show file must stay executable";
}

TEST_F(BuildCommandTest, DefaultPlayerIsTheOneBesideSlidepack) {
  WriteText(dir_ / "show.toml", "width = 8\nheight = 6\n[[slide]]\npicture = \"media/a.jpg\"\n");
  const RunResult result = RunSlidepack({"build", "show.toml", "-o", "out.scr"}, dir_);
  ASSERT_EQ(result.status, 0) << result.err;
  const std::vector<uint8_t> player = ReadBytes(SLIDESAVER_PLAYER);
  const std::vector<uint8_t> built = ReadBytes(dir_ / "out.scr");
  ASSERT_GT(built.size(), player.size());
  EXPECT_TRUE(std::equal(player.begin(), player.end(), built.begin()));
}

// --for windows builds on the Windows player the release makes beside slidepack (or the one
// --player names) and holds the pictures to what that player decodes.
TEST_F(BuildCommandTest, ForWindowsBuildsOnTheWindowsPlayer) {
  WriteText(dir_ / "show.toml", "width = 8\nheight = 6\n[[slide]]\npicture = \"media/a.jpg\"\n");
  const std::filesystem::path built_player =
      std::filesystem::path(SLIDEPACK_EXECUTABLE).parent_path() / "windows-i686" / "slidesaver.scr";
  WriteBytes(dir_ / "stand-in.scr", {'M', 'Z', 1, 2, 3});
  const struct {
    std::vector<std::string> options;
    std::string player;  // whose bytes open the show file; "" when the build fails
    std::string error;
  } cases[] = {
      {{"--for", "windows", "--player", "stand-in.scr"}, "stand-in.scr", ""},
      {{"--for", "windows"},
       std::filesystem::exists(built_player) ? built_player.string() : "",
       "the Windows player is not installed"},
      {{"--for", "linux"}, SLIDESAVER_PLAYER, ""},
      {{"--for", "windows", "--linux-only", "--player", "stand-in.scr"},
       "",
       "--linux-only: a show for Windows holds only pictures the Windows player decodes"},
      {{"--for", "macos"}, "", "--for: macos not in {linux,windows}"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.options[1]);
    std::filesystem::remove(dir_ / "out.scr");
    std::vector<std::string> args = {"build", "show.toml", "-o", "out.scr"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const RunResult result = RunSlidepack(args, dir_);
    if (c.player.empty()) {
      EXPECT_EQ(result.status, 1);
      EXPECT_THAT(result.err, HasSubstr(c.error));
      EXPECT_FALSE(std::filesystem::exists(dir_ / "out.scr"));
      continue;
    }
    ASSERT_EQ(result.status, 0) << result.err;
    const std::vector<uint8_t> player =
        ReadBytes(std::filesystem::path(c.player).is_absolute() ? std::filesystem::path(c.player)
                                                                : dir_ / c.player);
    const std::vector<uint8_t> built = ReadBytes(dir_ / "out.scr");
    ASSERT_GT(built.size(), player.size());
    EXPECT_TRUE(std::equal(player.begin(), player.end(), built.begin()));
  }

  // A picture only the Linux player decodes is refused for Windows.
  void* png_data = nullptr;
  size_t png_size = 0;
  MarkedPicture(8, 6).write_to_buffer(".png", &png_data, &png_size);
  WriteBytes(dir_ / "media" / "p.png",
             std::vector<uint8_t>(static_cast<uint8_t*>(png_data),
                                  static_cast<uint8_t*>(png_data) + png_size));
  g_free(png_data);
  WriteText(dir_ / "png.toml", "width = 8\nheight = 6\n[[slide]]\npicture = \"media/p.png\"\n");
  const RunResult png = RunSlidepack(
      {"build", "png.toml", "-o", "out.scr", "--for", "windows", "--player", "stand-in.scr"}, dir_);
  EXPECT_EQ(png.status, 1);
  EXPECT_THAT(png.err, HasSubstr("is a PNG, which the Windows player does not decode"));
}

// Where the players are found from the program's folder: in a build tree, then installed.
TEST(DefaultPlayer, BuiltBesideTheProgramElseInstalledElseAnError) {
  const std::filesystem::path root = std::filesystem::path(::testing::TempDir()) / "players";
  std::filesystem::remove_all(root);
  const auto make = [&](const std::string& file) {
    std::filesystem::create_directories((root / file).parent_path());
    WriteText(root / file, "player");
  };
  using slidepack::ShowTarget;
  EXPECT_EQ(slidepack::DefaultPlayer(ShowTarget::kLinux, root / "bin"), root / "bin/slidesaver");
  EXPECT_THROW(slidepack::DefaultPlayer(ShowTarget::kWindows, root / "bin"),
               slidepack::SlidepackError);
  make("share/slidesaver/windows/slidesaver.scr");
  EXPECT_EQ(slidepack::DefaultPlayer(ShowTarget::kWindows, root / "bin"),
            root / "share/slidesaver/windows/slidesaver.scr");
  make("bin/windows-i686/slidesaver.scr");
  EXPECT_EQ(slidepack::DefaultPlayer(ShowTarget::kWindows, root / "bin"),
            root / "bin/windows-i686/slidesaver.scr");
  EXPECT_EQ(slidepack::ParseShowTarget("windows"), ShowTarget::kWindows);
  EXPECT_EQ(slidepack::ParseShowTarget("Windows"), std::nullopt);
  std::filesystem::remove_all(root);
}

TEST_F(BuildCommandTest, BuildInfoUnpackBuildIsByteIdentical) {
  WriteText(dir_ / "show.toml", kRichManifest);
  ASSERT_EQ(
      RunSlidepack({"build", "show.toml", "-o", "first.scr", "--player", SLIDESAVER_PLAYER}, dir_)
          .status,
      0);

  const RunResult info = RunSlidepack({"info", "first.scr"}, dir_);
  ASSERT_EQ(info.status, 0) << info.err;
  const size_t player_bytes = ReadBytes(SLIDESAVER_PLAYER).size();
  EXPECT_THAT(info.out, HasSubstr("# player: " + std::to_string(player_bytes) + " bytes"));
  EXPECT_THAT(info.out, HasSubstr("width = 800\nheight = 600\nbackground = \"#102030\"\n"
                                  "settings = true\nmusic_name = \"BGM.MID\"\nmusic_bytes = 26\n"));
  EXPECT_THAT(info.out, HasSubstr("name = \"a.jpg\"\npicture_bytes = 5000  # JPEG 8 x 8\n"
                                  "sound_name = \"s.wav\"\nsound_bytes = 120\ntime = 1500\n"
                                  "x = 70\ny = 60\neffect = 28\nspeed = 1\noverlay = false\n"
                                  "transparent = false\n"));
  EXPECT_THAT(info.out, HasSubstr("name = [0x83, 0x41, 0x2E, 0x6A, 0x70, 0x67]\n"
                                  "picture_bytes = 7000  # JPEG 8 x 8\ntime = 2000\n"));
  EXPECT_THAT(info.out, HasSubstr("name = \"again.jpg\"\npicture_bytes = 5000  # JPEG 8 x 8\n"
                                  "sound_name = \"\"\nsound_bytes = 120\n"));

  const RunResult unpack = RunSlidepack({"unpack", "first.scr", "unpacked"}, dir_);
  ASSERT_EQ(unpack.status, 0) << unpack.err;
  EXPECT_EQ(unpack.err, "");
  const RunResult rebuild = RunSlidepack(
      {"build", "unpacked/show.toml", "-o", "second.scr", "--player", SLIDESAVER_PLAYER}, dir_);
  ASSERT_EQ(rebuild.status, 0) << rebuild.err;
  EXPECT_EQ(ReadBytes(dir_ / "first.scr"), ReadBytes(dir_ / "second.scr"));

  // And info reads the rebuilt file the same way.
  const std::string second = RunSlidepack({"info", "second.scr"}, dir_).out;
  EXPECT_EQ(second.substr(second.find('\n')), info.out.substr(info.out.find('\n')));
}

TEST_F(BuildCommandTest, MissingOrUnreadableFilesAreNamedWithTheirLine) {
  const std::string head = "width = 800\nheight = 600\n\n[[slide]]\n";
  ExpectBuildFails(head + "picture = \"media/none.jpg\"\n",
                   "slidepack: show.toml:5: picture media/none.jpg: cannot open: No such file or "
                   "directory\n");
  ExpectBuildFails(head + "picture = \"media\"\n",
                   "show.toml:5: picture media: not an ordinary file");
  ExpectBuildFails(head + "picture = \"media/a.jpg\"\nsound = \"media/none.wav\"\n",
                   "show.toml:6: sound media/none.wav: cannot open");
  ExpectBuildFails("music = \"nothing.mid\"\n" + head + "picture = \"media/a.jpg\"\n",
                   "show.toml:1: music nothing.mid: cannot open");
}

// What the players would leave silent, or what took them gigabytes (a 2,444-byte sound of
// 1 Hz), is refused with its line and the reason.
TEST_F(BuildCommandTest, SoundsAndMusicThePlayersDoNotPlayAreRefused) {
  WriteBytes(dir_ / "media" / "slow.wav", FakeWave(1, 2444, 1));
  std::vector<uint8_t> no_channels = FakeWave(1);
  no_channels[22] = 0;
  WriteBytes(dir_ / "media" / "none.wav", no_channels);
  WriteBytes(dir_ / "media" / "tempo.mid",
             {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0,    0,    0, 1, 0, 96, 'M',
              'T', 'r', 'k', 0,   0, 0, 7, 0, 0xFF, 0x51, 3, 0, 0, 0});
  const std::string head = "width = 800\nheight = 600\n\n[[slide]]\npicture = \"media/a.jpg\"\n";
  ExpectBuildFails(head + "sound = \"media/slow.wav\"\n",
                   "slidepack: show.toml:6: sound media/slow.wav can't be played: a WAV of 1 Hz, "
                   "outside the 8,000 to 192,000 samples a second the players play\n");
  ExpectBuildFails(head + "sound = \"media/m.mid\"\n",
                   "show.toml:6: sound media/m.mid can't be played: not a WAV sound");
  ExpectBuildFails("music = \"media/none.wav\"\n" + head,
                   "show.toml:1: music media/none.wav can't be played: a WAV of 0 channels");
  ExpectBuildFails("music = \"media/tempo.mid\"\n" + head,
                   "show.toml:1: music media/tempo.mid can't be played: a MIDI file with a tempo "
                   "of 0");
  ExpectBuildFails("music = \"media/a.jpg\"\n" + head,
                   "show.toml:1: music media/a.jpg can't be played: not music the players play");
}

TEST_F(BuildCommandTest, BadValuesAreNamedWithTheirLine) {
  const std::string head = "width = 800\nheight = 600\n\n[[slide]]\npicture = \"media/a.jpg\"\n";
  ExpectBuildFails(head + "effect = 36\n", "show.toml:6: effect = 36 is out of range (0 to 35)");
  ExpectBuildFails(
      "width = 800\nheight = 600\nbackground = \"#GG0000\"\n[[slide]]\n"
      "picture = \"media/a.jpg\"\n",
      "show.toml:3: background must be a colour");
  ExpectBuildFails("height = 600\n[[slide]]\npicture = \"media/a.jpg\"\n",
                   "show.toml: width is missing");
  ExpectBuildFails(head + "\n[[slide]]\nx = 3\n", "show.toml:7: slide 2 has no picture");
  ExpectBuildFails(head + "time = \n", "show.toml:6: ");
}

// Every stored name must name a file in the players' folder on both systems, and two names
// Windows takes for one file (case, dots and blanks at the end) must not carry different bytes.
TEST_F(BuildCommandTest, NamesThePlayersCannotWriteAreRefusedAtTheirLine) {
  const std::string head = "width = 8\nheight = 6\n[[slide]]\npicture = \"media/a.jpg\"\n";
  const std::string second = "\n[[slide]]\npicture = \"media/b.jpg\"\n";
  struct Case {
    std::string manifest;
    std::string message;
  };
  const Case cases[] = {
      {head + "name = \"CON\"\n",
       "show.toml:4: picture name \"CON\" cannot name a file of "
       "the show: Windows opens it as a device"},
      {head + "name = \"nul.jpg\"\n", "show.toml:4: picture name \"nul.jpg\" cannot name"},
      {head + "name = \"a/b.jpg\"\n", "it holds a '/'"},
      {head + "name = \"a\\\\b.jpg\"\n", "it holds a '\\' or a ':'"},
      {head + "name = \"c:b.jpg\"\n", "it holds a '\\' or a ':'"},
      {head + "name = \"..\"\n", "it names a folder"},
      {head + "name = \"\"\n", "it is empty"},
      {head + "name = \"...\"\n", "Windows drops the dots and blanks it consists of"},
      {head + "name = \"" + std::string(256, 'n') + "\"\n", "it is longer than 255 bytes"},
      {head + "sound = \"media/s.wav\"\nsound_name = \"aux\"\n", "show.toml:5: sound name"},
      {"music = \"media/m.mid\"\nmusic_name = \"LPT1.MID\"\n" + head, "show.toml:1: music name"},
      // Different bytes under names Windows takes for one.
      {head + "name = \"pic.jpg\"\n" + second + "name = \"pic.jpg.\"\n",
       "show.toml:8: picture name \"pic.jpg.\" is taken by the picture of line 4"},
      {head + "name = \"pic.jpg\"\n" + second + "name = \"PIC.JPG  \"\n",
       "is taken by the picture of line 4"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.manifest.substr(0, 120));
    ExpectBuildFails(c.manifest, c.message);
  }
  // A Shift-JIS name whose trail byte is 0x5C is no '\\'; the same bytes under such names are
  // one file.
  const std::string again = "\n[[slide]]\npicture = \"media/a.jpg\"\n";
  WriteText(dir_ / "show.toml", head + "name = [0x83, 0x5C, 0x2E, 0x6A, 0x70, 0x67]\n" + again +
                                    "name = \"Same.jpg\"\n" + again + "name = \"same.jpg.\"\n");
  const RunResult built =
      RunSlidepack({"build", "show.toml", "-o", "out.scr", "--player", SLIDESAVER_PLAYER}, dir_);
  EXPECT_EQ(built.status, 0) << built.err;
}

TEST_F(BuildCommandTest, MissingManifestPlayerOrOutputFolderAreNamed) {
  const std::string manifest = "width = 8\nheight = 6\n[[slide]]\npicture = \"media/a.jpg\"\n";
  ExpectBuildFails(manifest, "none.toml: cannot open: No such file or directory",
                   {"build", "none.toml", "-o", "out.scr", "--player", SLIDESAVER_PLAYER});
  ExpectBuildFails(
      manifest, (dir_ / "no-player").string() + ": cannot open",
      {"build", "show.toml", "-o", "out.scr", "--player", (dir_ / "no-player").string()});
  ExpectBuildFails(
      manifest, "no-such-folder/out.scr: cannot create",
      {"build", "show.toml", "-o", "no-such-folder/out.scr", "--player", SLIDESAVER_PLAYER});
}

TEST_F(BuildCommandTest, WarnsAboutSettingsThatCannotWorkButStillBuilds) {
  WriteText(dir_ / "show.toml",
            "width = 8\nheight = 6\n[[slide]]\npicture = \"media/a.jpg\"\nfit = \"contain\"\n"
            "x = 3\n\n[[slide]]\npicture = \"media/b.jpg\"\ntransparent = true\n");
  const RunResult result =
      RunSlidepack({"build", "show.toml", "-o", "out.scr", "--player", SLIDESAVER_PLAYER}, dir_);
  EXPECT_EQ(result.status, 0);
  EXPECT_THAT(result.err, HasSubstr("show.toml:3: warning: x and y are set by fit = \"contain\" "
                                    "and are not used"));
  EXPECT_THAT(result.err,
              HasSubstr("show.toml:8: warning: transparent has no effect without overlay"));
  EXPECT_TRUE(std::filesystem::exists(dir_ / "out.scr"));
}

TEST_F(BuildCommandTest, AFailedBuildLeavesAnEarlierOutputAsItWas) {
  WriteText(dir_ / "out.scr", "the previous show");
  WriteText(dir_ / "show.toml", "width = 8\nheight = 6\n[[slide]]\npicture = \"media/gone.jpg\"\n");
  const RunResult result =
      RunSlidepack({"build", "show.toml", "-o", "out.scr", "--player", SLIDESAVER_PLAYER}, dir_);
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(ReadText(dir_ / "out.scr"), "the previous show");
}

// An output that is a file the build reads would replace it: the player, the manifest, a
// picture, a sound, the music. Each is refused and stays as it was.
TEST_F(BuildCommandTest, RefusesAnOutputThatIsOneOfItsInputs) {
  std::filesystem::copy_file(SLIDESAVER_PLAYER, dir_ / "player");
  WriteText(dir_ / "show.toml", kRichManifest);
  struct Case {
    std::string output, expected;
  };
  for (const Case& c : {Case{"player", "player: the output would replace the player"},
                        Case{"show.toml", "show.toml: the output would replace the manifest"},
                        Case{"media/a.jpg", "show.toml:10: picture media/a.jpg is the output file"},
                        Case{"./media/s.wav", "show.toml:11: sound media/s.wav is the output"},
                        Case{"media/m.mid", "show.toml:6: music media/m.mid is the output"}}) {
    SCOPED_TRACE(c.output);
    const auto before = ReadBytes(dir_ / c.output);
    const auto tree = ListTree(dir_);
    const RunResult result =
        RunSlidepack({"build", "show.toml", "-o", c.output, "--player", "player"}, dir_);
    EXPECT_EQ(result.status, 1);
    EXPECT_THAT(result.err, HasSubstr(c.expected));
    EXPECT_EQ(ReadBytes(dir_ / c.output), before);
    EXPECT_EQ(ListTree(dir_), tree);
  }
}

// Only ordinary files are read: a FIFO or a device is an error at once, never a wait.
TEST_F(BuildCommandTest, AFifoOrADeviceIsAnErrorNotAWait) {
  ASSERT_EQ(mkfifo((dir_ / "media" / "fifo.jpg").c_str(), 0600), 0);
  ExpectBuildFails("width = 8\nheight = 6\n[[slide]]\npicture = \"media/fifo.jpg\"\n",
                   "show.toml:4: picture media/fifo.jpg: not an ordinary file");
  ExpectBuildFails(
      "width = 8\nheight = 6\n[[slide]]\npicture = \"media/a.jpg\"\nsound = \"/dev/zero\"\n",
      "show.toml:5: sound /dev/zero: not an ordinary file");
  ASSERT_EQ(mkfifo((dir_ / "fifo.toml").c_str(), 0600), 0);
  const RunResult result =
      RunSlidepack({"build", "fifo.toml", "-o", "out.scr", "--player", SLIDESAVER_PLAYER}, dir_);
  EXPECT_EQ(result.status, 1);
  EXPECT_THAT(result.err, HasSubstr("fifo.toml: not an ordinary file"));
  EXPECT_THAT(RunSlidepack({"info", "media/fifo.jpg"}, dir_).err,
              HasSubstr("media/fifo.jpg: not an ordinary file"));
}

// A show of 65,500 slides took one memory map per picture and hit the kernel's limit. Inputs
// now hold neither a mapping nor an open file until they are read, a piece at a time.
TEST_F(BuildCommandTest, InputsHoldNeitherMappingsNorOpenFiles) {
  const auto count_lines = [](const char* path) {
    std::ifstream in(path);
    return std::count(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>(), '\n');
  };
  const auto count_files = [] {
    return std::distance(std::filesystem::directory_iterator("/proc/self/fd"),
                         std::filesystem::directory_iterator());
  };
  const auto maps = count_lines("/proc/self/maps");
  const auto files = count_files();
  std::vector<slidesaver::Bytes> inputs;
  for (int i = 0; i < 2000; ++i) inputs.push_back(slidepack::OpenInput(dir_ / "media" / "b.jpg"));
  EXPECT_EQ(count_lines("/proc/self/maps"), maps);
  EXPECT_EQ(count_files(), files);
  EXPECT_EQ(inputs.back().Load(), ReadBytes(dir_ / "media" / "b.jpg"));
  // A file that changes after it was opened is not read as if it were the same.
  WriteBytes(dir_ / "media" / "b.jpg", SmallJpeg(3, 7001));
  std::vector<uint8_t> piece(10);
  EXPECT_THROW(inputs.front().ReadAt(0, piece), slidesaver::media::ReadError);
}

TEST_F(BuildCommandTest, InfoOnAFileWithoutAShowSaysSo) {
  const RunResult plain = RunSlidepack({"info", SLIDESAVER_PLAYER}, dir_);
  EXPECT_EQ(plain.status, 1);
  EXPECT_THAT(plain.err, HasSubstr(std::string(SLIDESAVER_PLAYER) + ": no show found"));
  WriteBytes(dir_ / "tiny", {1, 2});
  EXPECT_THAT(RunSlidepack({"info", "tiny"}, dir_).err, HasSubstr("tiny: no show found"));
  const RunResult missing = RunSlidepack({"info", "missing.scr"}, dir_);
  EXPECT_EQ(missing.status, 1);
  EXPECT_THAT(missing.err, HasSubstr("missing.scr: cannot open: No such file or directory"));
}

TEST_F(BuildCommandTest, CommandLineMistakesEndWithStatusOne) {
  EXPECT_EQ(RunSlidepack({}, dir_).status, 1);
  EXPECT_EQ(RunSlidepack({"build", "show.toml"}, dir_).status, 1);  // no -o
  EXPECT_EQ(RunSlidepack({"frobnicate"}, dir_).status, 1);
  const RunResult help = RunSlidepack({"--help"}, dir_);
  EXPECT_EQ(help.status, 0);
  EXPECT_THAT(help.out, HasSubstr("build"));
}

}  // namespace
}  // namespace slidepack_test

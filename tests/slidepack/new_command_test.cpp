// slidepack new as a user runs it on a folder of photos, and the pieces it is made of: the
// order of names, the transitions, the show size.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "package/read_package.h"
#include "slidepack_test_support.h"
#include "slides/natural_order.h"
#include "test_pictures.h"
#include "tools/slidepack/new_show.h"
#include "tools/slidepack/slidepack_error.h"

namespace slidepack_test {
namespace {

using ::testing::ContainerEq;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

// The values of `key = ...` lines, in order.
std::vector<std::string> Values(const std::string& manifest, const std::string& key) {
  std::vector<std::string> values;
  std::istringstream lines(manifest);
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind(key + " = ", 0) == 0) values.push_back(line.substr(key.size() + 3));
  }
  return values;
}

class NewCommandTest : public ScratchTest {
 protected:
  void SetUp() override {
    ScratchTest::SetUp();
    const auto marked = MarkedPicture(60, 40);
    std::filesystem::create_directories(dir_ / "photos" / "trip" / "day 2");
    std::filesystem::create_directories(dir_ / "photos" / ".thumbnails");
    std::filesystem::create_directories(dir_ / "photos" / "empty");
    // Taken in the reverse of their names' order.
    WriteBytes(dir_ / "photos" / "IMG_10.jpg", JpegBytes(marked, 90, "2024:05:01 10:00:00"));
    WriteBytes(dir_ / "photos" / "IMG_9.JPG", JpegBytes(marked, 90, "2024:05:01 11:00:00"));
    WriteBytes(dir_ / "photos" / "trip" / "a.gif", Bytes(marked.gifsave_buffer()));
    WriteBytes(dir_ / "photos" / "trip" / "day 2" / "IMG_10.png", Bytes(marked.pngsave_buffer()));
    WriteText(dir_ / "photos" / "notes.txt", "not a picture");
    WriteText(dir_ / "photos" / "trip" / "photo.jpg", "a text file called .jpg");
    WriteBytes(dir_ / "photos" / ".thumbnails" / "x.jpg", JpegBytes(marked));
  }

  static std::vector<uint8_t> Bytes(VipsBlob* blob) {
    size_t length = 0;
    const auto* data = static_cast<const uint8_t*>(vips_blob_get(blob, &length));
    std::vector<uint8_t> bytes(data, data + length);
    vips_area_unref(VIPS_AREA(blob));
    return bytes;
  }

  RunResult New(std::vector<std::string> args) {
    args.insert(args.begin(), "new");
    return RunSlidepack(args, dir_);
  }
};

TEST_F(NewCommandTest, AFolderOfMixedFilesGivesOneSlidePerPictureInOrderAndBuilds) {
  const RunResult result =
      New({"photos", "-o", "show.toml", "--size", "320x240", "--time", "3000"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_THAT(result.err, HasSubstr("photos/notes.txt is not a picture; left out"));
  EXPECT_THAT(result.err, HasSubstr("photos/trip/photo.jpg is not a picture; left out"));
  const std::string manifest = ReadText(dir_ / "show.toml");
  EXPECT_THAT(Values(manifest, "picture"),
              ElementsAre("\"photos/IMG_9.JPG\"", "\"photos/IMG_10.jpg\"", "\"photos/trip/a.gif\"",
                          "\"photos/trip/day 2/IMG_10.png\""));
  // The second IMG_10 would be stored as IMG_10.jpg too.
  EXPECT_THAT(Values(manifest, "name"), ElementsAre("\"IMG_10-2.jpg\""));
  EXPECT_THAT(Values(manifest, "effect"), ElementsAre("1", "2", "3", "4"));
  EXPECT_THAT(Values(manifest, "time"), ElementsAre("3000", "3000", "3000", "3000"));
  EXPECT_THAT(Values(manifest, "fit"), ElementsAre("\"contain\""));
  EXPECT_THAT(manifest, HasSubstr("width = 320\nheight = 240\n"));

  const RunResult build =
      RunSlidepack({"build", "show.toml", "-o", "show.scr", "--player", SLIDESAVER_PLAYER}, dir_);
  ASSERT_EQ(build.status, 0) << build.err;
  const std::vector<uint8_t> bytes = ReadBytes(dir_ / "show.scr");
  slidesaver::PackageHeader show;
  ASSERT_TRUE(slidesaver::ReadPackage(bytes, nullptr, show).complete);
  std::vector<std::string> names;
  for (const auto& slide : show.Slides) names.push_back(slide.PictureFileName);
  EXPECT_THAT(names, ElementsAre("IMG_9.jpg", "IMG_10.jpg", "a.jpg", "IMG_10-2.jpg"));
  // 60 x 40, not enlarged, in the middle.
  EXPECT_EQ(show.Slides[0].PictureX, (320 - 60) / 2);
  EXPECT_EQ(show.Slides[0].PictureY, (240 - 40) / 2);
}

// new walks folders as the player's folder show does: links that go round or out of the tree
// are walked once or not at all, and what lies too deep is said, not silently missed.
TEST_F(NewCommandTest, LinksInCirclesOrOutOfTheTreeAndDeepFoldersKeepTheWalkBounded) {
  for (const char* link : {"l1", "l2", "trip/l3"})
    std::filesystem::create_directory_symlink(".", dir_ / "photos" / link);
  std::filesystem::create_directory_symlink("/", dir_ / "photos" / "root");
  std::filesystem::path deep = dir_ / "photos" / "deep";
  for (int level = 0; level < 40; ++level) deep /= "d";
  std::filesystem::create_directories(deep);
  WriteBytes(deep / "bottom.jpg", JpegBytes(MarkedPicture(60, 40)));
  const RunResult result = New({"photos", "-o", "show.toml", "--size", "320x240"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_THAT(result.err, HasSubstr("photos: folders more than 32 levels down are left out"));
  EXPECT_THAT(Values(ReadText(dir_ / "show.toml"), "picture"),
              ElementsAre("\"photos/IMG_9.JPG\"", "\"photos/IMG_10.jpg\"", "\"photos/trip/a.gif\"",
                          "\"photos/trip/day 2/IMG_10.png\""));
}

TEST_F(NewCommandTest, OptionsShapeTheManifest) {
  WriteText(dir_ / "music.mid", "MThd");
  ASSERT_EQ(
      New({"photos/IMG_10.jpg", "photos", "-o", "a.toml", "--order", "date", "--effects", "3,0,35",
           "--speed", "2", "--fit", "none", "--background", "#FFEEDD", "--music", "music.mid"})
          .status,
      0);
  const std::string a = ReadText(dir_ / "a.toml");
  // By the time taken; files without one by their modification time, which is later.
  EXPECT_THAT(Values(a, "picture"),
              ElementsAre("\"photos/IMG_10.jpg\"", "\"photos/IMG_10.jpg\"", "\"photos/IMG_9.JPG\"",
                          "\"photos/trip/a.gif\"", "\"photos/trip/day 2/IMG_10.png\""));
  EXPECT_THAT(Values(a, "effect"), ElementsAre("3", "0", "35", "3", "0"));
  EXPECT_THAT(Values(a, "speed"), ElementsAre("2", "2", "2", "2", "2"));
  EXPECT_THAT(Values(a, "fit"), ElementsAre("\"none\""));
  EXPECT_THAT(Values(a, "background"), ElementsAre("\"#FFEEDD\""));
  EXPECT_THAT(Values(a, "music"), ElementsAre("\"music.mid\""));

  // Random transitions: the same seed, the same show.
  for (const char* file : {"r1.toml", "r2.toml"}) {
    ASSERT_EQ(New({"photos", "-o", file, "--effects", "random", "--seed", "7"}).status, 0);
  }
  EXPECT_EQ(Values(ReadText(dir_ / "r1.toml"), "effect"),
            Values(ReadText(dir_ / "r2.toml"), "effect"));
  ASSERT_EQ(New({"photos", "-o", "r3.toml", "--effects", "random", "--seed", "8"}).status, 0);
  EXPECT_NE(Values(ReadText(dir_ / "r1.toml"), "effect"),
            Values(ReadText(dir_ / "r3.toml"), "effect"));
}

// Without --size the show is as large as the primary monitor; with no display, 1080p. CTest
// runs this once more on an Xvfb display of SLIDEPACK_TEST_SCREEN's size.
TEST_F(NewCommandTest, WithoutASizeTheShowFitsThisScreen) {
  const char* display = std::getenv("DISPLAY");
  const std::string kept = display ? display : "";
  const char* screen = std::getenv("SLIDEPACK_TEST_SCREEN");
  if (screen && display) {
    ASSERT_EQ(New({"photos", "-o", "screen.toml"}).status, 0);
    const std::string manifest = ReadText(dir_ / "screen.toml");
    const std::string size = screen;
    EXPECT_THAT(manifest, HasSubstr("width = " + size.substr(0, size.find('x')) +
                                    "\nheight = " + size.substr(size.find('x') + 1) + "\n"));
    EXPECT_THAT(manifest,
                HasSubstr("# The show area: the size of this computer's primary monitor"));
  }
  unsetenv("DISPLAY");
  const RunResult result = New({"photos", "-o", "none.toml"});
  if (display) setenv("DISPLAY", kept.c_str(), 1);
  ASSERT_EQ(result.status, 0) << result.err;
  const std::string manifest = ReadText(dir_ / "none.toml");
  EXPECT_THAT(manifest, HasSubstr("# The show area: 1920 x 1080, as no display was measured"));
  EXPECT_THAT(manifest, HasSubstr("width = 1920\nheight = 1080\n"));
}

TEST_F(NewCommandTest, MistakesAreNamedAndWriteNothing) {
  WriteText(dir_ / "taken.toml", "mine");
  const struct {
    std::vector<std::string> args;
    std::string error;
  } cases[] = {
      {{"nowhere", "-o", "x.toml"}, "nowhere: no such file or folder"},
      {{"photos/notes.txt", "-o", "x.toml"}, "photos/notes.txt: not a picture slidepack reads"},
      {{"photos/empty", "-o", "x.toml"}, "no pictures found"},
      {{"photos", "-o", "taken.toml"}, "taken.toml: already exists"},
      {{"photos", "-o", "x.toml", "--size", "1920"}, "--size: \"1920\" is not WIDTHxHEIGHT"},
      {{"photos", "-o", "x.toml", "--size", "0x10"}, "is not WIDTHxHEIGHT"},
      {{"photos", "-o", "x.toml", "--effects", "1,36"}, "--effects: \"1,36\" is not all, random"},
      {{"photos", "-o", "x.toml", "--background", "red"}, "--background: \"red\" is not a colour"},
      {{"photos", "-o", "x.toml", "--music", "none.mid"}, "none.mid: no such music file"},
      {{"photos", "-o", "x.toml", "--fit", "stretch"}, "--fit"},
  };
  for (const auto& c : cases) {
    const RunResult result = New(c.args);
    EXPECT_EQ(result.status, 1) << c.error;
    EXPECT_THAT(result.err, HasSubstr(c.error));
    EXPECT_FALSE(std::filesystem::exists(dir_ / "x.toml"));
  }
  EXPECT_EQ(ReadText(dir_ / "taken.toml"), "mine");
  EXPECT_EQ(New({"photos", "-o", "taken.toml", "--force"}).status, 0);
}

// Without -o the manifest is show.toml in the current folder, which build then takes; an
// existing one is kept unless --force is given, as with -o.
TEST_F(NewCommandTest, WithoutAnOutputTheManifestIsShowTomlHere) {
  const RunResult made = New({"photos/trip", "--size", "320x240"});
  ASSERT_EQ(made.status, 0) << made.err;
  const std::string manifest = ReadText(dir_ / "show.toml");
  EXPECT_THAT(Values(manifest, "picture"),
              ElementsAre("\"photos/trip/a.gif\"", "\"photos/trip/day 2/IMG_10.png\""));
  EXPECT_THAT(manifest, HasSubstr("slidepack build show.toml -o show.scr"));

  WriteText(dir_ / "show.toml", "mine");
  const RunResult again = New({"photos"});
  EXPECT_EQ(again.status, 1);
  EXPECT_THAT(again.err, HasSubstr("show.toml: already exists"));
  EXPECT_EQ(ReadText(dir_ / "show.toml"), "mine");
  ASSERT_EQ(New({"photos", "--force", "--size", "320x240"}).status, 0);
  EXPECT_THAT(Values(ReadText(dir_ / "show.toml"), "picture"), testing::SizeIs(4));
}

TEST(NaturalOrder, NumbersInNamesCompareByValue) {
  std::vector<std::string> names = {"b",    "IMG_10.jpg", "a/2", "IMG_9.jpg", "IMG_009.jpg",
                                    "a/10", "IMG_9a.jpg", "",    "a"};
  std::sort(names.begin(), names.end(), slidesaver::NaturalLess);
  EXPECT_THAT(names, ElementsAre("", "IMG_9.jpg", "IMG_9a.jpg", "IMG_009.jpg", "IMG_10.jpg", "a",
                                 "a/2", "a/10", "b"));
}

TEST(EffectPlan, AllCyclesListsRepeatRandomIsSeeded) {
  using slidepack::EffectPlan;
  const std::vector<int32_t> all = EffectPlan::Parse("all", 1).For(37);
  EXPECT_EQ(all.front(), 1);
  EXPECT_EQ(all[34], 35);
  EXPECT_EQ(all[35], 1);
  EXPECT_THAT(EffectPlan::Parse("5,0", 1).For(3), ElementsAre(5, 0, 5));
  const std::vector<int32_t> random = EffectPlan::Parse("random", 42).For(200);
  EXPECT_THAT(EffectPlan::Parse("random", 42).For(200), ContainerEq(random));
  for (size_t i = 0; i < random.size(); ++i) {
    EXPECT_TRUE(random[i] >= 1 && random[i] <= 35);
    if (i > 0) {
      EXPECT_NE(random[i], random[i - 1]);
    }
  }
  EXPECT_EQ(std::set<int32_t>(random.begin(), random.end()).size(), 35u);
  for (const char* bad : {"", "1,,2", "-1", "36", "x", "1;2", "100"}) {
    EXPECT_THROW(EffectPlan::Parse(bad, 1), std::invalid_argument) << bad;
  }
}

}  // namespace
}  // namespace slidepack_test

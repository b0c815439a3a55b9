// slidepack unpack on shows made by other tools: whatever the stored names say, every file
// lands inside the folder, and building the manifest gives the same show file again.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "package/write_package.h"
#include "slidepack_test_support.h"

namespace slidepack_test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

class UnpackCommandTest : public ScratchTest {
 protected:
  // A show file: the player followed by `package`.
  std::filesystem::path WriteShow(const slidesaver::PackageHeader& package,
                                  const std::string& name = "hostile.scr") {
    std::vector<uint8_t> bytes = ReadBytes(SLIDESAVER_PLAYER);
    const std::vector<uint8_t> tail = slidesaver::WritePackage(package);
    bytes.insert(bytes.end(), tail.begin(), tail.end());
    WriteBytes(dir_ / name, bytes);
    return dir_ / name;
  }

  static slidesaver::SlideEntry Slide(const std::string& picture_name, int seed,
                                      const std::string& sound_name = "") {
    slidesaver::SlideEntry slide;
    slide.PictureFileName = picture_name;
    slide.PictureData = ToBytes(SmallJpeg(seed));
    slide.SoundFileName = sound_name;
    if (!sound_name.empty()) slide.SoundData = ToBytes(FakeWave(seed));
    slide.DisplayTime = 2000;
    slide.EffectNumber = seed % 36;
    return slide;
  }

  static void Finish(slidesaver::PackageHeader& package) {
    package.ShowWidth = 800;
    package.ShowHeight = 600;
    package.SlideCount = static_cast<int32_t>(package.Slides.size());
  }
};

TEST_F(UnpackCommandTest, HostileNamesStayInsideTheFolderAndFairOnesRebuildIdentically) {
  std::filesystem::create_directory(dir_ / "elsewhere");
  const std::string absolute = (dir_ / "elsewhere" / "x").string();
  slidesaver::PackageHeader package;
  package.BgmFileName = "../../music.mid";
  package.BgmData = ToBytes({'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 0, 0, 96});
  int seed = 1;
  for (const std::string& name :
       {std::string("../x"), absolute, std::string("a/b"), std::string("a/../../y"),
        std::string(".."), std::string("."), std::string(""), std::string("show.toml"),
        std::string("..\\win"), std::string("\x83\x41.jpg"), std::string("ok.jpg")}) {
    package.Slides.push_back(Slide(name, seed, "../s" + std::to_string(seed) + ".wav"));
    ++seed;
  }
  package.Slides.push_back(Slide("ok.jpg", 99));  // the same name with other bytes
  package.Slides.push_back(Slide("OK.JPG", 98));  // a name that differs in case only
  Finish(package);
  const auto show = WriteShow(package);

  const RunResult unpack = RunSlidepack({"unpack", show.string(), "out"}, dir_);
  ASSERT_EQ(unpack.status, 0) << unpack.err;

  // Nothing outside the folder; inside it, only plain files.
  EXPECT_FALSE(std::filesystem::exists(dir_ / "x"));
  EXPECT_FALSE(std::filesystem::exists(absolute));
  EXPECT_FALSE(std::filesystem::exists(dir_ / "y"));
  EXPECT_FALSE(std::filesystem::exists(dir_ / "a"));
  EXPECT_FALSE(std::filesystem::exists(dir_ / "music.mid"));
  EXPECT_FALSE(std::filesystem::exists(dir_.parent_path() / "music.mid"));
  EXPECT_THAT(ListTree(dir_ / "elsewhere"), ElementsAre());
  for (const auto& entry : std::filesystem::directory_iterator(dir_ / "out")) {
    EXPECT_TRUE(entry.is_regular_file()) << entry.path();
  }
  const auto files = ListTree(dir_ / "out");
  EXPECT_EQ(files.size(), 1u + 1u + 13u + 11u);  // manifest, music, pictures, sounds
  EXPECT_THAT(files, ::testing::Contains("ok.jpg"));
  EXPECT_THAT(files, ::testing::Contains("picture-001.jpg"));

  // The players write none of those names: the build refuses the first at its line.
  const RunResult refused = RunSlidepack(
      {"build", "out/show.toml", "-o", "again.scr", "--player", SLIDESAVER_PLAYER}, dir_);
  EXPECT_EQ(refused.status, 1);
  EXPECT_THAT(refused.err, HasSubstr("music name \"../../music.mid\" cannot name a file"));

  // Names they write build again byte for byte.
  slidesaver::PackageHeader fair;
  fair.BgmFileName = "music.mid";
  fair.BgmData = ToBytes({'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 0, 0, 96});
  fair.Slides = {Slide("\x83\x41.jpg", 1, "s1.wav"), Slide("show.toml", 2, "s2.wav"),
                 Slide("ok.jpg", 3)};
  Finish(fair);
  const auto fair_show = WriteShow(fair, "fair.scr");
  ASSERT_EQ(RunSlidepack({"unpack", fair_show.string(), "fair"}, dir_).status, 0);
  const RunResult rebuild = RunSlidepack(
      {"build", "fair/show.toml", "-o", "again.scr", "--player", SLIDESAVER_PLAYER}, dir_);
  ASSERT_EQ(rebuild.status, 0) << rebuild.err;
  EXPECT_EQ(ReadBytes(dir_ / "again.scr"), ReadBytes(fair_show));

  // One name (to Windows) for two pictures would show one of them twice: the build says so.
  fair.Slides.push_back(Slide("OK.JPG", 98));
  Finish(fair);
  const auto twice = WriteShow(fair, "twice.scr");
  ASSERT_EQ(RunSlidepack({"unpack", twice.string(), "twice"}, dir_).status, 0);
  const RunResult taken = RunSlidepack(
      {"build", "twice/show.toml", "-o", "twice-again.scr", "--player", SLIDESAVER_PLAYER}, dir_);
  EXPECT_EQ(taken.status, 1);
  EXPECT_THAT(taken.err, HasSubstr("picture name \"OK.JPG\" is taken by the picture of line"));
}

TEST_F(UnpackCommandTest, SharedFilesAreWrittenOnceAndEmptyOnesKept) {
  slidesaver::PackageHeader package;
  package.Slides.push_back(Slide("same.jpg", 1, "ding.wav"));
  package.Slides.push_back(Slide("same.jpg", 1, "ding.wav"));
  slidesaver::SlideEntry empty = Slide("empty.jpg", 3);
  empty.PictureData = {};
  empty.SoundFileName = "silent.wav";  // a name without bytes
  package.Slides.push_back(empty);
  Finish(package);
  const auto show = WriteShow(package);

  ASSERT_EQ(RunSlidepack({"unpack", show.string(), "out"}, dir_).status, 0);
  EXPECT_THAT(ListTree(dir_ / "out"),
              ElementsAre("ding.wav", "empty.jpg", "same.jpg", "show.toml", "silent.wav"));
  EXPECT_EQ(std::filesystem::file_size(dir_ / "out" / "empty.jpg"), 0u);
  // An empty picture is no picture: the players could not show it, so the build refuses it.
  const RunResult rebuild = RunSlidepack(
      {"build", "out/show.toml", "-o", "again.scr", "--player", SLIDESAVER_PLAYER}, dir_);
  EXPECT_EQ(rebuild.status, 1);
  EXPECT_THAT(rebuild.err, HasSubstr("picture out/empty.jpg is not a picture"));
}

TEST_F(UnpackCommandTest, RefusesAFolderThatHoldsFiles) {
  slidesaver::PackageHeader package;
  package.Slides.push_back(Slide("a.jpg", 1));
  Finish(package);
  const auto show = WriteShow(package);
  std::filesystem::create_directory(dir_ / "out");
  WriteText(dir_ / "out" / "a.jpg", "mine");

  const RunResult result = RunSlidepack({"unpack", show.string(), "out"}, dir_);
  EXPECT_EQ(result.status, 1);
  EXPECT_THAT(result.err, HasSubstr("out: the folder is not empty"));
  EXPECT_THAT(ListTree(dir_ / "out"), ElementsAre("a.jpg"));
  EXPECT_EQ(ReadText(dir_ / "out" / "a.jpg"), "mine");

  // An empty folder that exists is fine.
  std::filesystem::create_directory(dir_ / "empty");
  EXPECT_EQ(RunSlidepack({"unpack", show.string(), "empty"}, dir_).status, 0);
  EXPECT_THAT(ListTree(dir_ / "empty"), ElementsAre("a.jpg", "show.toml"));
}

TEST_F(UnpackCommandTest, AFileWithoutAShowLeavesNoFolder) {
  const RunResult result = RunSlidepack({"unpack", SLIDESAVER_PLAYER, "out"}, dir_);
  EXPECT_EQ(result.status, 1);
  EXPECT_THAT(result.err, HasSubstr("no show found"));
  EXPECT_FALSE(std::filesystem::exists(dir_ / "out"));
}

TEST_F(UnpackCommandTest, AnUnwritableFolderIsNamedAndNothingIsLeft) {
  slidesaver::PackageHeader package;
  package.Slides.push_back(Slide("a.jpg", 1));
  Finish(package);
  const auto show = WriteShow(package);
  const RunResult result = RunSlidepack({"unpack", show.string(), "missing/parent/out"}, dir_);
  EXPECT_EQ(result.status, 1);
  EXPECT_THAT(result.err, HasSubstr("missing/parent/out: cannot create the folder"));
  EXPECT_FALSE(std::filesystem::exists(dir_ / "missing"));
}

TEST_F(UnpackCommandTest, SaysWhenAForeignLayoutCannotBeRebuiltByteForByte) {
  slidesaver::PackageHeader package;
  package.Slides.push_back(Slide("a.jpg", 1));
  Finish(package);
  std::vector<uint8_t> bytes = ReadBytes(SLIDESAVER_PLAYER);
  const size_t start = bytes.size();
  const std::vector<uint8_t> tail = slidesaver::WritePackage(package);
  bytes.insert(bytes.end(), tail.begin(), tail.end());
  // The Slides array's lower bound (after 18 bytes of header and two empty music fields): 1.
  bytes[start + 18 + 4 + 2 + 4] = 1;
  WriteBytes(dir_ / "foreign.scr", bytes);

  const RunResult result = RunSlidepack({"unpack", "foreign.scr", "out"}, dir_);
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_THAT(result.err, HasSubstr("warning: the Package's layout differs"));
  EXPECT_THAT(ReadText(dir_ / "out" / "show.toml"), HasSubstr("# Note: the Package's layout"));
}

}  // namespace
}  // namespace slidepack_test

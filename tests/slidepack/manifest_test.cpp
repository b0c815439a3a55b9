// Reading manifests: defaults, the value forms, and errors that point at the line at fault.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tools/slidepack/manifest.h"
#include "tools/slidepack/slidepack_error.h"

namespace slidepack {
namespace {

using ::testing::HasSubstr;

const std::filesystem::path kPath = "/shows/demo/show.toml";

Manifest Parse(const std::string& text) { return ParseManifestText(text, kPath); }

// The message of the error the text raises, or "" when it parses.
std::string ErrorOf(const std::string& text) {
  try {
    Parse(text);
  } catch (const SlidepackError& error) {
    return error.what();
  }
  return "";
}

const char* const kMinimal = "width = 800\nheight = 600\n[[slide]]\npicture = \"a.jpg\"\n";

TEST(ManifestDefaults, FillEverythingTheAuthorLeavesOut) {
  const Manifest manifest = Parse(kMinimal);
  EXPECT_EQ(manifest.width, 800);
  EXPECT_EQ(manifest.height, 600);
  EXPECT_EQ(manifest.background, 0);
  EXPECT_EQ(manifest.settings, 0);
  EXPECT_FALSE(manifest.music.has_value());
  ASSERT_EQ(manifest.slides.size(), 1u);
  const ManifestSlide& slide = manifest.slides[0];
  EXPECT_EQ(slide.picture.path, "/shows/demo/a.jpg");  // relative to the manifest
  EXPECT_EQ(slide.picture.line, 4);
  EXPECT_EQ(slide.picture_name, "a.jpg");
  EXPECT_FALSE(slide.sound.has_value());
  EXPECT_EQ(slide.sound_name, "");
  EXPECT_EQ(slide.time, 2000);
  EXPECT_EQ(slide.x, 0);
  EXPECT_EQ(slide.y, 0);
  EXPECT_EQ(slide.effect, 0);
  EXPECT_EQ(slide.speed, 0);
  EXPECT_EQ(slide.overlay, 0);
  EXPECT_EQ(slide.transparent, 0);
}

TEST(ManifestValues, AreStoredAsThePackageHoldsThem) {
  const Manifest manifest = Parse(R"(
width = 1024
height = 768
background = "#1A2B3C"
settings = true
music = "/abs/bgm.mid"
music_name = "BGM.MID"

[[slide]]
picture = "pics/one.jpg"
name = [0x83, 0x41, 0x2E, 0x6A]
sound = "s.wav"
sound_name = ""
time = 0
x = -40
y = 2147483647
effect = 35
speed = 30
overlay = true
transparent = 1
)");
  EXPECT_EQ(manifest.background, 0x3C2B1A);  // #RRGGBB is stored as 0x00BBGGRR
  EXPECT_EQ(manifest.settings, -1);
  ASSERT_TRUE(manifest.music.has_value());
  EXPECT_EQ(manifest.music->path, "/abs/bgm.mid");
  EXPECT_EQ(manifest.music_name, "BGM.MID");
  const ManifestSlide& slide = manifest.slides.at(0);
  EXPECT_EQ(slide.picture.path, "/shows/demo/pics/one.jpg");
  EXPECT_EQ(slide.picture_name, "\x83\x41.j");  // bytes of a name in a Windows code page
  ASSERT_TRUE(slide.sound.has_value());
  EXPECT_EQ(slide.sound_name, "");  // an explicit empty name is kept
  EXPECT_EQ(slide.time, 0);
  EXPECT_EQ(slide.x, -40);
  EXPECT_EQ(slide.y, 2147483647);
  EXPECT_EQ(slide.effect, 35);
  EXPECT_EQ(slide.speed, 30);
  EXPECT_EQ(slide.overlay, -1);
  EXPECT_EQ(slide.transparent, 1);  // an integer truth value is stored as it is
}

TEST(ManifestValues, IntegerBackgroundIsStoredAsItIs) {
  EXPECT_EQ(Parse("background = 0x00FF8000\n" + std::string(kMinimal)).background, 0x00FF8000);
  EXPECT_EQ(Parse("background = -1\n" + std::string(kMinimal)).background, -1);
  EXPECT_EQ(Parse("background = 0xFFFFFFFF\n" + std::string(kMinimal)).background, -1);
  EXPECT_EQ(Parse("background = \"#ffffff\"\n" + std::string(kMinimal)).background, 0xFFFFFF);
}

TEST(ManifestValues, FitAndQualityComeFromTheTopUnlessASlideSaysOtherwise) {
  const std::string head = "width = 800\nheight = 600\n";
  const std::string slides =
      "[[slide]]\npicture = \"a.jpg\"\n[[slide]]\npicture = \"b.jpg\"\nfit = \"cover\"\n"
      "quality = 70\nname = \"B.JPG\"\n";
  const Manifest plain = Parse(head + slides);  // without fit, pictures are stored as they are
  EXPECT_EQ(plain.slides[0].fit, Fit::kNone);
  EXPECT_EQ(plain.slides[0].quality, 90);
  EXPECT_FALSE(plain.slides[0].named);
  EXPECT_TRUE(plain.slides[1].named);
  const Manifest fitted = Parse(head + "fit = \"contain\"\nquality = 80\n" + slides);
  EXPECT_EQ(fitted.slides[0].fit, Fit::kContain);
  EXPECT_EQ(fitted.slides[0].quality, 80);
  EXPECT_EQ(fitted.slides[1].fit, Fit::kCover);
  EXPECT_EQ(fitted.slides[1].quality, 70);
  EXPECT_THAT(ErrorOf("fit = \"stretch\"\n" + head + slides),
              HasSubstr("show.toml:1: fit must be \"contain\", \"cover\" or \"none\""));
  EXPECT_THAT(ErrorOf(head + "[[slide]]\npicture = \"a.jpg\"\nfit = 1\n"),
              HasSubstr("show.toml:5: fit must be"));
  EXPECT_THAT(ErrorOf("quality = 101\n" + head + slides),
              HasSubstr("show.toml:1: quality = 101 is out of range (1 to 100)"));
  EXPECT_THAT(ErrorOf(head + "[[slide]]\npicture = \"a.jpg\"\nquality = 0\n"),
              HasSubstr("show.toml:5: quality = 0"));
}

TEST(ManifestValues, SlidesKeepTheirOrder) {
  const Manifest manifest = Parse(
      std::string(kMinimal) + "[[slide]]\npicture = \"b.jpg\"\n[[slide]]\npicture = \"c.jpg\"\n");
  ASSERT_EQ(manifest.slides.size(), 3u);
  EXPECT_EQ(manifest.slides[1].picture_name, "b.jpg");
  EXPECT_EQ(manifest.slides[2].picture_name, "c.jpg");
  EXPECT_EQ(manifest.slides[2].line, 7);  // the line of its [[slide]]
}

TEST(ManifestErrors, NameTheLineOfAValueOutOfRange) {
  const std::string head = "width = 800\nheight = 600\n[[slide]]\npicture = \"a.jpg\"\n";
  EXPECT_THAT(ErrorOf(head + "effect = 36\n"),
              HasSubstr("/shows/demo/show.toml:5: effect = 36 is out of range (0 to 35)"));
  EXPECT_THAT(ErrorOf(head + "speed = -1\n"), HasSubstr("show.toml:5: speed = -1 is out of range"));
  EXPECT_THAT(ErrorOf(head + "speed = 31\n"), HasSubstr("show.toml:5: speed = 31"));
  EXPECT_THAT(ErrorOf(head + "time = -1\n"), HasSubstr("show.toml:5: time = -1"));
  EXPECT_THAT(ErrorOf(head + "x = 2147483648\n"), HasSubstr("show.toml:5: x = 2147483648"));
  EXPECT_THAT(ErrorOf(head + "overlay = 40000\n"), HasSubstr("show.toml:5: overlay = 40000"));
  EXPECT_THAT(ErrorOf("width = 0\nheight = 600\n[[slide]]\npicture = \"a.jpg\"\n"),
              HasSubstr("show.toml:1: width = 0 is out of range"));
  EXPECT_THAT(ErrorOf("width = 800\nheight = 99999\n[[slide]]\npicture = \"a.jpg\"\n"),
              HasSubstr("show.toml:2: height = 99999 is out of range"));
  EXPECT_THAT(ErrorOf("width = 16384\nheight = 16384\n[[slide]]\npicture = \"a.jpg\"\n"),
              HasSubstr("show.toml:2: the show area 16384 x 16384 is larger than the players show "
                        "(33,554,432 pixels)"));
  EXPECT_THAT(ErrorOf("background = 0x100000000\n" + head), HasSubstr("show.toml:1: background"));
}

TEST(ManifestErrors, NameTheLineOfAValueOfTheWrongKind) {
  const std::string head = "width = 800\nheight = 600\n[[slide]]\npicture = \"a.jpg\"\n";
  EXPECT_THAT(ErrorOf(head + "time = \"2000\"\n"),
              HasSubstr("show.toml:5: time must be an integer"));
  EXPECT_THAT(ErrorOf(head + "time = 1.5\n"), HasSubstr("show.toml:5: time must be an integer"));
  EXPECT_THAT(ErrorOf(head + "overlay = \"yes\"\n"),
              HasSubstr("show.toml:5: overlay must be true or false"));
  EXPECT_THAT(ErrorOf(head + "name = [1, 256]\n"), HasSubstr("show.toml:5: name must hold byte"));
  EXPECT_THAT(ErrorOf(head + "name = 7\n"), HasSubstr("show.toml:5: name must be a string"));
  EXPECT_THAT(ErrorOf(head + "sound = 3\n"), HasSubstr("show.toml:5: sound must be a file path"));
  EXPECT_THAT(ErrorOf(head + "sound = \"\"\n"), HasSubstr("show.toml:5: sound is an empty path"));
  EXPECT_THAT(ErrorOf(head + "name = \"" + std::string(65536, 'n') + "\"\n"),
              HasSubstr("show.toml:5: name is longer than 65535 bytes"));
}

TEST(ManifestErrors, NameTheLineOfABadColour) {
  for (const char* colour : {"\"#12345G\"", "\"red\"", "\"#1234567\"", "\"123456\"", "true"}) {
    EXPECT_THAT(ErrorOf(std::string("width = 800\nheight = 600\nbackground = ") + colour +
                        "\n[[slide]]\npicture = \"a.jpg\"\n"),
                HasSubstr("show.toml:3: background must be a colour \"#RRGGBB\" or an integer"))
        << colour;
  }
}

TEST(ManifestErrors, NameTheFileOrTableMissingARequiredKey) {
  EXPECT_THAT(ErrorOf("height = 600\n[[slide]]\npicture = \"a.jpg\"\n"),
              HasSubstr("/shows/demo/show.toml: width is missing"));
  EXPECT_THAT(ErrorOf("width = 600\n[[slide]]\npicture = \"a.jpg\"\n"),
              HasSubstr("/shows/demo/show.toml: height is missing"));
  EXPECT_THAT(ErrorOf("width = 800\nheight = 600\n[[slide]]\npicture = \"a.jpg\"\n\n[[slide]]\n"
                      "time = 100\n"),
              HasSubstr("show.toml:6: slide 2 has no picture"));
  EXPECT_THAT(ErrorOf("width = 800\nheight = 600\n"), HasSubstr("the show has no [[slide]]"));
}

TEST(ManifestErrors, RejectWhatWouldSilentlyBeIgnored) {
  EXPECT_THAT(ErrorOf(std::string(kMinimal) + "efect = 3\n"),
              HasSubstr("show.toml:5: unknown key 'efect' in slide 1"));
  EXPECT_THAT(ErrorOf("widht = 1\n" + std::string(kMinimal)),
              HasSubstr("show.toml:1: unknown key 'widht'"));
  EXPECT_THAT(ErrorOf(std::string(kMinimal) + "sound_name = \"s.wav\"\n"),
              HasSubstr("show.toml:5: sound_name without a sound file"));
  EXPECT_THAT(ErrorOf("music_name = \"m.mid\"\n" + std::string(kMinimal)),
              HasSubstr("show.toml:1: music_name without a music file"));
  EXPECT_THAT(ErrorOf("width = 800\nheight = 600\n[slide]\npicture = \"a.jpg\"\n"),
              HasSubstr("show.toml:3: slides are written as [[slide]] tables"));
}

TEST(ManifestErrors, NameTheLineOfATomlSyntaxError) {
  EXPECT_THAT(ErrorOf("width = 800\nheight = = 600\n"), HasSubstr("/shows/demo/show.toml:2: "));
  EXPECT_THAT(ErrorOf("width = 800\nwidth = 700\n"), HasSubstr("show.toml:2: "));
}

}  // namespace
}  // namespace slidepack

// Writing a Package out as a manifest: what unpack writes must read back as the same values,
// whatever bytes the stored names hold.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "photos/media_kind.h"
#include "slidepack_test_support.h"
#include "tools/slidepack/manifest.h"
#include "tools/slidepack/manifest_text.h"

namespace slidepack {
namespace {

using slidepack_test::FakeWave;
using slidepack_test::SmallJpeg;
using slidepack_test::ToBytes;
using slidesaver::photos::DescribeMedia;
using slidesaver::photos::IdentifyMedia;
using ::testing::HasSubstr;
using ::testing::Not;

TEST(Utf8Check, AcceptsOnlyWellFormedText) {
  EXPECT_TRUE(IsUtf8(""));
  EXPECT_TRUE(IsUtf8("plain.jpg"));
  EXPECT_TRUE(IsUtf8("\xE5\x86\x99\xE7\x9C\x9F.jpg"));  // 写真.jpg
  EXPECT_TRUE(IsUtf8("\xF0\x9F\x8E\xA8"));
  EXPECT_FALSE(IsUtf8("\x83\x41"));          // Shift-JIS
  EXPECT_FALSE(IsUtf8("\xC0\xAF"));          // overlong '/'
  EXPECT_FALSE(IsUtf8("\xE0\x80\xAF"));      // overlong '/'
  EXPECT_FALSE(IsUtf8("\xED\xA0\x80"));      // surrogate
  EXPECT_FALSE(IsUtf8("\xF4\x90\x80\x80"));  // beyond U+10FFFF
  EXPECT_FALSE(IsUtf8("ab\xE5\x86"));        // cut short
}

TEST(TomlValues, QuoteEscapeOrSpellOutBytes) {
  EXPECT_EQ(TomlString("a\"b\\c\n\x01\x7F"), "\"a\\\"b\\\\c\\n\\u0001\\u007F\"");
  EXPECT_EQ(TomlName("x.jpg"), "\"x.jpg\"");
  EXPECT_EQ(TomlName("\x83\x41"), "[0x83, 0x41]");
  EXPECT_EQ(TomlColour(0), "\"#000000\"");
  EXPECT_EQ(TomlColour(0x3C2B1A), "\"#1A2B3C\"");
  EXPECT_EQ(TomlColour(0x01000000), "16777216");
  EXPECT_EQ(TomlColour(-1), "-1");
}

slidesaver::PackageHeader TrickyPackage() {
  slidesaver::PackageHeader package;
  package.ShowWidth = 640;
  package.ShowHeight = 480;
  package.BackgroundColor = -2;
  package.HasSettings = 1;
  package.BgmFileName = "m\"usic\\.mid";
  package.BgmData = ToBytes({'M', 'T', 'h', 'd'});
  for (const std::string& name : {std::string("\x83\x41\x83\x43.jpg"), std::string("tab\there"),
                                  std::string(""), std::string("../up.jpg")}) {
    slidesaver::SlideEntry slide;
    slide.PictureFileName = name;
    slide.PictureData = ToBytes(SmallJpeg(static_cast<int>(name.size()), 300));
    slide.SoundFileName = name.empty() ? "" : name + ".wav";
    slide.SoundData = name.empty() ? slidesaver::Bytes() : ToBytes(FakeWave(1));
    slide.DisplayTime = 1234;
    slide.PictureX = -7;
    slide.PictureY = 9;
    slide.EffectNumber = 17;
    slide.SpeedExponent = 2;
    slide.Overlay = -1;
    slide.Transparent = 5;
    package.Slides.push_back(slide);
  }
  package.SlideCount = static_cast<int32_t>(package.Slides.size());
  return package;
}

TEST(UnpackManifestText, ReadsBackAsTheSameValues) {
  const slidesaver::PackageHeader package = TrickyPackage();
  UnpackedFiles files{"music.mid", {}, {}};
  for (size_t i = 0; i < package.Slides.size(); ++i) {
    files.pictures.push_back("picture-" + std::to_string(i) + ".jpg");
    files.sounds.push_back(package.Slides[i].SoundFileName.empty() ? ""
                                                                   : "sound-" + std::to_string(i));
  }
  const std::string text = UnpackManifest(package, files, {"comment"});
  const Manifest manifest = ParseManifestText(text, "/u/show.toml");

  EXPECT_EQ(manifest.width, 640);
  EXPECT_EQ(manifest.height, 480);
  EXPECT_EQ(manifest.background, -2);
  EXPECT_EQ(manifest.settings, 1);
  EXPECT_EQ(manifest.music_name, package.BgmFileName);
  EXPECT_EQ(manifest.music->path, "/u/music.mid");
  ASSERT_EQ(manifest.slides.size(), package.Slides.size());
  for (size_t i = 0; i < package.Slides.size(); ++i) {
    SCOPED_TRACE(i);
    const ManifestSlide& slide = manifest.slides[i];
    const slidesaver::SlideEntry& entry = package.Slides[i];
    EXPECT_EQ(slide.picture.path, "/u/" + files.pictures[i]);
    EXPECT_EQ(slide.picture_name, entry.PictureFileName);
    EXPECT_EQ(slide.sound.has_value(), !entry.SoundFileName.empty());
    EXPECT_EQ(slide.sound_name, entry.SoundFileName);
    EXPECT_EQ(slide.time, entry.DisplayTime);
    EXPECT_EQ(slide.x, entry.PictureX);
    EXPECT_EQ(slide.y, entry.PictureY);
    EXPECT_EQ(slide.effect, entry.EffectNumber);
    EXPECT_EQ(slide.speed, entry.SpeedExponent);
    EXPECT_EQ(slide.overlay, entry.Overlay);
    EXPECT_EQ(slide.transparent, entry.Transparent);
  }
}

TEST(UnpackManifestText, KeepsASoundWithoutNameAndANameWithoutSound) {
  slidesaver::PackageHeader package = TrickyPackage();
  package.Slides.resize(2);
  package.Slides[0].SoundFileName = "";  // bytes without a name
  package.Slides[1].SoundData = {};      // a name without bytes
  const std::string text =
      UnpackManifest(package, {"music.mid", {"a.jpg", "b.jpg"}, {"s0.wav", "s1.wav"}}, {});
  const Manifest manifest = ParseManifestText(text, "/u/show.toml");
  ASSERT_TRUE(manifest.slides[0].sound.has_value());
  EXPECT_EQ(manifest.slides[0].sound_name, "");
  ASSERT_TRUE(manifest.slides[1].sound.has_value());
  EXPECT_EQ(manifest.slides[1].sound_name, package.Slides[1].SoundFileName);
}

TEST(InfoManifestText, ListsSizesInsteadOfFiles) {
  const std::string text = InfoManifest(TrickyPackage(), {"show.scr"});
  EXPECT_THAT(text, HasSubstr("# show.scr\n"));
  EXPECT_THAT(text, HasSubstr("music_name = \"m\\\"usic\\\\.mid\"\nmusic_bytes = 4\n"));
  EXPECT_THAT(text, HasSubstr("name = [0x83, 0x41, 0x83, 0x43, 0x2E, 0x6A, 0x70, 0x67]\n"
                              "picture_bytes = 300  # JPEG 8 x 8\n"));
  EXPECT_THAT(text, HasSubstr("sound_bytes = 120\n"));
  EXPECT_THAT(text, HasSubstr("transparent = 5\n"));
  EXPECT_THAT(text, HasSubstr("overlay = true\n"));
  EXPECT_THAT(text, Not(HasSubstr("picture = ")));
}

TEST(MediaKinds, AreToldFromTheFirstBytes) {
  // A JPEG whose frame header follows an APP0 segment: 652 x 430.
  const std::vector<uint8_t> jpeg = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x04, 0x00, 0x00, 0xFF,
                                     0xC0, 0x00, 0x11, 0x08, 0x01, 0xAE, 0x02, 0x8C, 0x03};
  EXPECT_EQ(DescribeMedia(IdentifyMedia(jpeg)), "JPEG 652 x 430");
  std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13,
                              'I',  'H', 'D', 'R', 0,    0,    3,    0x20, 0, 0, 2, 0x58};
  EXPECT_EQ(DescribeMedia(IdentifyMedia(png)), "PNG 800 x 600");
  EXPECT_EQ(IdentifyMedia(FakeWave(0)).extension, ".wav");
  EXPECT_EQ(IdentifyMedia(std::vector<uint8_t>{'M', 'T', 'h', 'd'}).extension, ".mid");
  EXPECT_EQ(IdentifyMedia(std::vector<uint8_t>{}).extension, ".bin");
  // A JPEG cut inside its segments reports no size rather than reading past the end.
  EXPECT_EQ(DescribeMedia(IdentifyMedia(std::span(jpeg).first(12))), "JPEG");
}

}  // namespace
}  // namespace slidepack

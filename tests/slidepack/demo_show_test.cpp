// The demo show the build makes: the player with a Package that passes through every
// transition once, at a pace a viewer enjoys.
#include <gtest/gtest.h>

#include <set>

#include "effects/effect_table.h"
#include "package/read_package.h"
#include "photos/media_kind.h"
#include "slidepack_test_support.h"

namespace slidepack_test {
namespace {

TEST(DemoShow, IsThePlayerFollowedByACompleteShow) {
  const std::vector<uint8_t> player = ReadBytes(SLIDESAVER_PLAYER);
  const std::vector<uint8_t> demo = ReadBytes(DEMO_SHOW);
  ASSERT_GT(demo.size(), player.size()) << DEMO_SHOW;
  EXPECT_TRUE(std::equal(player.begin(), player.end(), demo.begin()));
  slidesaver::PackageHeader show;
  const auto result = slidesaver::ReadPackage(demo, nullptr, show);
  ASSERT_TRUE(result.complete) << result.problem;
  EXPECT_EQ(result.package_offset, player.size());
  EXPECT_EQ(show.ShowWidth, 800);
  EXPECT_EQ(show.ShowHeight, 600);
  EXPECT_NE(show.HasSettings, 0);
  EXPECT_EQ(slidesaver::photos::IdentifyMedia(show.BgmData.span()).format, "MIDI");
}

TEST(DemoShow, PassesThroughEveryTransitionOnceAtAnEnjoyablePace) {
  const std::vector<uint8_t> demo = ReadBytes(DEMO_SHOW);
  slidesaver::PackageHeader show;
  const auto read = slidesaver::ReadPackage(demo, nullptr, show);
  ASSERT_TRUE(read.complete);
  std::multiset<int32_t> effects;
  int colour_keyed = 0, sounds = 0, smaller = 0;
  for (const slidesaver::SlideEntry& slide : show.Slides) {
    SCOPED_TRACE(slide.PictureFileName);
    effects.insert(slide.EffectNumber);
    EXPECT_GE(slide.SpeedExponent, 0);
    EXPECT_LE(slide.SpeedExponent, 1);
    EXPECT_GE(slide.DisplayTime, 1500);
    EXPECT_LE(slide.DisplayTime, 3000);
    const slidesaver::photos::MediaKind picture =
        slidesaver::photos::IdentifyMedia(slide.PictureData.span());
    EXPECT_EQ(picture.format, "JPEG");
    // Every picture lies inside the show area.
    EXPECT_GE(slide.PictureX, 0);
    EXPECT_GE(slide.PictureY, 0);
    EXPECT_LE(slide.PictureX + picture.width, show.ShowWidth);
    EXPECT_LE(slide.PictureY + picture.height, show.ShowHeight);
    smaller += picture.width < show.ShowWidth || picture.height < show.ShowHeight;
    colour_keyed += slide.Overlay != 0 && slide.Transparent != 0;
    if (!slide.SoundFileName.empty()) {
      ++sounds;
      EXPECT_EQ(slidesaver::photos::IdentifyMedia(slide.SoundData.span()).format, "WAV");
    }
  }
  for (const slidesaver::EffectEntry& effect : slidesaver::EffectTable()) {
    EXPECT_EQ(effects.count(effect.number), 1u) << effect.number;
  }
  EXPECT_GE(show.Slides.size(), size_t{slidesaver::kEffectCount});
  EXPECT_GE(colour_keyed, 2);
  EXPECT_GE(smaller, 5);
  EXPECT_GE(sounds, 3);
  EXPECT_LT(demo.size() - read.package_offset, 4u << 20) << "keep the demo show small";
}

}  // namespace
}  // namespace slidepack_test

// The writer against the worked example, and the writer's refusals.
#include <gtest/gtest.h>

#include <numeric>

#include "package/read_package.h"
#include "package/write_package.h"
#include "tests/unit/test_support.h"

namespace slidesaver {
namespace {

using testing::BytesOf;

// A picture of `size` bytes whose content shows where each byte came from.
Bytes Picture(size_t size, uint8_t seed) {
  std::vector<uint8_t> bytes(size);
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(seed + i * 7);
  return Bytes::Copy(bytes);
}

// 800 x 600, black, no settings, three slides of 70,006 / 123,418 / 103,330 picture bytes.
PackageHeader WorkedExample() {
  PackageHeader header;
  header.ShowWidth = 800;
  header.ShowHeight = 600;
  header.SlideCount = 3;
  const struct {
    const char* name;
    int32_t x, y, effect;
    size_t size;
  } slides[] = {{"0", 70, 60, 28, 70006}, {"1", 0, 0, 27, 123418}, {"2", 0, 0, 4, 103330}};
  uint8_t seed = 1;
  for (const auto& s : slides) {
    SlideEntry slide;
    slide.PictureFileName = s.name;
    slide.DisplayTime = 2000;
    slide.PictureX = s.x;
    slide.PictureY = s.y;
    slide.EffectNumber = s.effect;
    slide.PictureData = Picture(s.size, seed++);
    header.Slides.push_back(slide);
  }
  return header;
}

std::vector<uint8_t> Slice(const std::vector<uint8_t>& v, size_t at, size_t n) {
  return {v.begin() + static_cast<ptrdiff_t>(at), v.begin() + static_cast<ptrdiff_t>(at + n)};
}

TEST(WritePackage, WorkedExampleHasTheDocumentedLayout) {
  const std::vector<uint8_t> package = WritePackage(WorkedExample());
  ASSERT_EQ(package.size(), 296913u);
  EXPECT_EQ(PackageByteCount(WorkedExample()), 296913u);

  const std::vector<uint8_t> head = {0x20, 0x03, 0, 0, 0x58, 0x02, 0, 0, 0, 0, 0, 0, 0, 0, 3, 0,
                                     0,    0,    0, 0, 0,    0,    1, 0, 3, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(Slice(package, 0, 32), head);

  // The first entry up to its picture bytes.
  const std::vector<uint8_t> first = {0x01, 0x00, 0x30, 0x00, 0x00, 0xD0, 0x07, 0x00, 0x00, 0x46,
                                      0x00, 0x00, 0x00, 0x3C, 0x00, 0x00, 0x00, 0x1C, 0x00, 0x00,
                                      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01,
                                      0x00, 0x76, 0x11, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00};
  EXPECT_EQ(Slice(package, 32, first.size()), first);
  // Each entry starts with a 1-byte picture name "0", "1", "2".
  EXPECT_EQ(Slice(package, 70079, 3), (std::vector<uint8_t>{1, 0, '1'}));
  EXPECT_EQ(Slice(package, 193538, 3), (std::vector<uint8_t>{1, 0, '2'}));
  // The sound array closing each entry, just before the next.
  EXPECT_EQ(Slice(package, 70077, 2), (std::vector<uint8_t>{0, 0}));
  EXPECT_EQ(Slice(package, 193536, 2), (std::vector<uint8_t>{0, 0}));
  EXPECT_EQ(Slice(package, 296907, 2), (std::vector<uint8_t>{0, 0}));
  EXPECT_EQ(Slice(package, 296909, 4), (std::vector<uint8_t>{0xD1, 0x87, 0x04, 0x00}));
}

TEST(WritePackage, WorkedExampleAppendedToAProgramReadsBack) {
  const PackageHeader written = WorkedExample();
  std::vector<uint8_t> file(114688, 0x90);  // the executable image
  const std::vector<uint8_t> package = WritePackage(written);
  file.insert(file.end(), package.begin(), package.end());
  ASSERT_EQ(file.size(), 411601u);

  PackageHeader read;
  const PackageReadResult result = ReadPackage(file, nullptr, read);
  ASSERT_TRUE(result.complete) << result.problem;
  EXPECT_EQ(result.package_offset, 114688u);
  EXPECT_EQ(read.PackageSize, 296913);
  EXPECT_EQ(read.ShowWidth, 800);
  EXPECT_EQ(read.SlideCount, 3);
  ASSERT_EQ(read.Slides.size(), 3u);
  for (size_t i = 0; i < 3; ++i) {
    const SlideEntry& a = written.Slides[i];
    const SlideEntry& b = read.Slides[i];
    EXPECT_EQ(b.PictureFileName, a.PictureFileName);
    EXPECT_EQ(b.EffectNumber, a.EffectNumber);
    EXPECT_EQ(b.PictureX, a.PictureX);
    EXPECT_TRUE(std::equal(b.PictureData.span().begin(), b.PictureData.span().end(),
                           a.PictureData.span().begin(), a.PictureData.span().end()));
    EXPECT_TRUE(b.SoundData.empty());
  }
  // Writing what was read gives the same bytes again.
  EXPECT_EQ(WritePackage(read), package);
}

TEST(WritePackage, EveryFieldSurvivesARoundTrip) {
  PackageHeader h;
  h.ShowWidth = -1;
  h.ShowHeight = 0x7FFFFFFF;
  h.BackgroundColor = 0x00FF8040;
  h.HasSettings = -1;
  h.SlideCount = 2;
  h.BgmFileName = "music.mid";
  h.BgmData = BytesOf("MThd....");
  h.Slides = {testing::Slide("\x95\x5c.jpg", "JFIF-1", "s.wav", "RIFF"),
              testing::Slide("b", std::string("\0\1\2", 3))};
  h.Slides[0].PictureX = -5;
  h.Slides[0].PictureY = 7;
  h.Slides[0].SpeedExponent = -3;
  h.Slides[0].Overlay = -1;
  h.Slides[0].Transparent = -1;
  h.Slides[1].EffectNumber = 35;

  const auto bytes = WritePackage(h);
  PackageHeader r;
  ASSERT_TRUE(ReadPackage(bytes, nullptr, r).complete);
  EXPECT_EQ(r.ShowWidth, -1);
  EXPECT_EQ(r.ShowHeight, 0x7FFFFFFF);
  EXPECT_EQ(r.BackgroundColor, 0x00FF8040);
  EXPECT_EQ(r.HasSettings, -1);
  EXPECT_EQ(r.BgmFileName, "music.mid");
  EXPECT_EQ(testing::AsString(r.BgmData), "MThd....");
  ASSERT_EQ(r.Slides.size(), 2u);
  EXPECT_EQ(r.Slides[0].PictureFileName, "\x95\x5c.jpg");
  EXPECT_EQ(r.Slides[0].SoundFileName, "s.wav");
  EXPECT_EQ(testing::AsString(r.Slides[0].SoundData), "RIFF");
  EXPECT_EQ(r.Slides[0].PictureX, -5);
  EXPECT_EQ(r.Slides[0].PictureY, 7);
  EXPECT_EQ(r.Slides[0].SpeedExponent, -3);
  EXPECT_EQ(r.Slides[0].Overlay, -1);
  EXPECT_EQ(r.Slides[0].Transparent, -1);
  EXPECT_EQ(r.Slides[1].EffectNumber, 35);
  EXPECT_EQ(testing::AsString(r.Slides[1].PictureData), std::string("\0\1\2", 3));
  EXPECT_EQ(WritePackage(r), bytes);
}

TEST(WritePackage, EmptyShowIsTheSmallestPackage) {
  // Five numbers, empty name, empty music, empty slides, PackageSize.
  const auto bytes = WritePackage(PackageHeader());
  EXPECT_EQ(bytes.size(), 4u + 4 + 4 + 2 + 4 + 2 + 2 + 2 + 4);
  EXPECT_EQ(std::vector<uint8_t>(bytes.end() - 4, bytes.end()),
            (std::vector<uint8_t>{28, 0, 0, 0}));
}

TEST(WritePackage, StreamedPiecesEqualTheWholePackage) {
  const PackageHeader h = WorkedExample();
  std::vector<uint8_t> streamed;
  int pieces = 0;
  WritePackage(h, [&](std::span<const uint8_t> piece) {
    ++pieces;
    streamed.insert(streamed.end(), piece.begin(), piece.end());
  });
  EXPECT_EQ(streamed, WritePackage(h));
  EXPECT_GE(pieces, 6);  // the pictures are handed over on their own
}

TEST(WritePackage, RefusesWhatTheLayoutCannotHold) {
  PackageHeader long_name;
  long_name.BgmFileName.assign(65536, 'x');
  EXPECT_THROW(WritePackage(long_name), PackageWriteError);

  PackageHeader long_slide_name = testing::Show({testing::Slide(std::string(70000, 'p'), "x")});
  bool sink_called = false;
  EXPECT_THROW(WritePackage(long_slide_name, [&](std::span<const uint8_t>) { sink_called = true; }),
               PackageWriteError);
  EXPECT_FALSE(sink_called);  // nothing is produced before the check

  PackageHeader longest;
  longest.BgmFileName.assign(65535, 'x');
  EXPECT_EQ(WritePackage(longest).size(), 28u + 65535);
}

}  // namespace
}  // namespace slidesaver

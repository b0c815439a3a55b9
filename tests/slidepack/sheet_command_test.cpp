// `slidepack sheet` of the demo show: one row per slide with the picture as shown and four
// frames of its transition, where the layout says they are.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

#include "effects/effect_table.h"
#include "package/read_package.h"
#include "photos/vips_library.h"
#include "platform/linux/sdl/sdl_picture_loader.h"
#include "slidepack_test_support.h"
#include "tools/slidepack/sheet_layout.h"

namespace slidepack_test {
namespace {

namespace fs = std::filesystem;

class SheetTest : public ScratchTest {
 protected:
  // 0x00RRGGBB at (x, y) of the sheet.
  uint32_t At(int x, int y) const {
    const std::vector<double> p = sheet_.getpoint(x, y);
    return static_cast<uint32_t>(p[0]) << 16 | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]);
  }
  // A pixel of slide `row`'s "as shown" cell (frame -1) or of its transition frame k.
  uint32_t Cell(size_t row, int frame, int x, int y) const {
    const int left = frame < 0 ? layout_->ShownLeft() : layout_->FrameLeft(frame);
    return At(left + x, layout_->CellTop(row) + y);
  }
  bool Dark(int left, int top, int width, int height) const {
    const vips::VImage area = sheet_.crop(left, top, width, height);
    return area.min() < 100;
  }

  vips::VImage sheet_;
  std::optional<slidepack::SheetLayout> layout_;
};

::testing::AssertionResult Near(uint32_t actual, uint32_t expected, int tolerance) {
  for (int shift : {0, 8, 16}) {
    const int a = static_cast<int>(actual >> shift & 0xFF),
              e = static_cast<int>(expected >> shift & 0xFF);
    if (std::abs(a - e) > tolerance) {
      char text[64];
      std::snprintf(text, sizeof text, "%06X is not %06X", actual, expected);
      return ::testing::AssertionFailure() << text;
    }
  }
  return ::testing::AssertionSuccess();
}

TEST_F(SheetTest, DemoShowHasARowPerSlideWithItsPictureAndTransition) {
  const RunResult run = RunSlidepack({"sheet", DEMO_SHOW, "-o", "sheet.png"}, dir_);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(ListTree(dir_), std::vector<std::string>{"sheet.png"});

  const std::vector<uint8_t> demo = ReadBytes(DEMO_SHOW);
  slidesaver::PackageHeader show;
  ASSERT_TRUE(slidesaver::ReadPackage(demo, nullptr, show).complete);
  slidesaver::photos::StartVips();
  sheet_ = vips::VImage::new_from_file((dir_ / "sheet.png").c_str());
  layout_.emplace(show.ShowWidth, show.ShowHeight, show.Slides.size());
  ASSERT_EQ(sheet_.width(), layout_->width);
  ASSERT_EQ(sheet_.height(), layout_->height);
  ASSERT_EQ(layout_->height,
            slidepack::SheetLayout::kHeaderHeight + slidesaver::kEffectCount * layout_->row_height);
  const int w = layout_->thumb_width, h = layout_->thumb_height;

  // Slide 1 as shown: its picture fills the area; the thumbnail's middle is the picture's.
  const fs::path first = dir_ / "first.jpg";
  const auto bytes = show.Slides[0].PictureData.span();
  WriteBytes(first, {bytes.begin(), bytes.end()});
  const auto picture = slidesaver::linux_platform::MakeSdlPictureLoader()->Load(first.string());
  EXPECT_TRUE(Near(Cell(0, -1, w / 2, h / 2),
                   picture.Pixel(picture.Width() / 2, picture.Height() / 2), 24));
  // Slide 2's picture is smaller than the area: the background shows in the corner.
  EXPECT_TRUE(Near(Cell(1, -1, 2, 2), 0x203040, 12));

  // Slide 19 wipes from the left: at 20 % the left edge shows slide 20 as it comes to stand,
  // the right edge still slide 19; at 80 % only the right edge does.
  for (int y : {h / 4, h / 2, 3 * h / 4}) {
    EXPECT_TRUE(Near(Cell(18, 0, 2, y), Cell(19, -1, 2, y), 16));
    EXPECT_TRUE(Near(Cell(18, 0, w - 3, y), Cell(18, -1, w - 3, y), 16));
    EXPECT_TRUE(Near(Cell(18, 3, w * 2 / 3, y), Cell(19, -1, w * 2 / 3, y), 16));
    EXPECT_TRUE(Near(Cell(18, 3, w - 3, y), Cell(18, -1, w - 3, y), 16));
  }

  // Every row has its number and its text; the rest of the text column is white.
  for (size_t row = 0; row < show.Slides.size(); ++row) {
    const int top = layout_->CellTop(row);
    EXPECT_TRUE(Dark(slidepack::SheetLayout::kPad, top, 40, 24)) << row;
    EXPECT_TRUE(Dark(layout_->TextLeft(), top, 200, 16)) << row;
    EXPECT_EQ(At(layout_->FrameLeft(0) - 4, top + h / 2), 0xFFFFFFu) << row;
  }
}

// The sheet is written a row at a time: a show of many slides takes the memory of a few.
TEST_F(SheetTest, MemoryDoesNotGrowWithTheSlides) {
  WriteBytes(dir_ / "a.jpg", SmallJpeg(1));
  WriteBytes(dir_ / "b.jpg", SmallJpeg(2));
  const auto sheet_of = [&](int slides) {
    std::string manifest = "width = 80\nheight = 60\nfit = \"none\"\n";
    for (int i = 0; i < slides; ++i) {
      manifest += "[[slide]]\npicture = \"" + std::string(i % 2 ? "b" : "a") + ".jpg\"\nname = \"" +
                  std::to_string(i) + ".jpg\"\ntime = 10\neffect = " + std::to_string(i % 35 + 1) +
                  "\n";
    }
    WriteText(dir_ / "show.toml", manifest);
    const RunResult run = RunSlidepack({"sheet", "show.toml", "-o", "sheet.png"}, dir_);
    EXPECT_EQ(run.status, 0) << run.err;
    const vips::VImage sheet = vips::VImage::new_from_file((dir_ / "sheet.png").c_str());
    EXPECT_EQ(sheet.height(), slidepack::SheetLayout(80, 60, slides).height);
    return run.max_rss_kib;
  };
  slidesaver::photos::StartVips();
  const long few = sheet_of(10);
#ifdef __SANITIZE_ADDRESS__
  GTEST_SKIP() << "AddressSanitizer keeps freed memory for a while: the peaks say nothing";
#endif
  const long many = sheet_of(200);  // 1,000 thumbnails: 45 MiB if they were kept
  EXPECT_LT(many, few + 16 * 1024) << few << " KiB for 10 slides";
}

}  // namespace
}  // namespace slidepack_test

// Randomized blits checked pixel for pixel against the per-pixel model: random rectangles,
// negative and out-of-range coordinates, every raster operation and format pair, clip
// regions, mirrored stretches and blits within one bitmap; on a context that tracks damage,
// every changed pixel lies in exactly one of its rectangles.
#include <gtest/gtest.h>

#include <climits>
#include <random>

#include "gdi/dc.h"
#include "tests/unit/gdi/gdi_test_support.h"

namespace slidesaver::gdi {
namespace {

class RandomBlits : public ::testing::Test {
 protected:
  std::mt19937 rng{20261207};

  int32_t Between(int32_t lo, int32_t hi) {
    return std::uniform_int_distribution<int32_t>(lo, hi)(rng);
  }
  // Mostly small values near the bitmaps, sometimes the 32-bit extremes.
  int32_t Coordinate() {
    switch (Between(0, 9)) {
      case 0:
        return Between(0, 1) ? INT32_MIN + Between(0, 3) : INT32_MAX - Between(0, 3);
      case 1:
        return Between(-100000, 100000);
      default:
        return Between(-12, 30);
    }
  }
  int32_t Extent() {
    switch (Between(0, 9)) {
      case 0:
        return Between(0, 1) ? INT32_MIN + Between(0, 3) : INT32_MAX - Between(0, 3);
      case 1:
        return 0;
      default:
        return Between(-30, 30);
    }
  }
  uint32_t Rop() {
    static const uint32_t rops[] = {SRCCOPY, SRCAND, SRCINVERT, DSna};
    return rops[Between(0, 3)];
  }
  Bitmap Picture(bool mono, int32_t w, int32_t h) {
    Bitmap b = mono ? Bitmap::Mono(w, h) : Bitmap::Color(w, h);
    for (int32_t y = 0; y < h; ++y) {
      for (int32_t x = 0; x < w; ++x) {
        // Few colours, so colour-to-monochrome meets the key often.
        b.SetPixel(x, y, mono ? (Between(0, 1) ? 0xFFFFFF : 0) : 0x010203u * Between(0, 5));
      }
    }
    return b;
  }
  std::optional<Region> Clip(int32_t w, int32_t h) {
    switch (Between(0, 3)) {
      case 0:
        return Region::Ellipse(Between(-5, w), Between(-5, h), Between(0, w + 5),
                               Between(0, h + 5));
      case 1: {
        std::vector<PolyPoint> points;
        for (int i = Between(3, 5); i > 0; --i)
          points.push_back({Between(-5, w + 5), Between(-5, h + 5)});
        return Region::Polygon(points, Between(0, 2));
      }
      default:
        return std::nullopt;
    }
  }

  // One random call on both the real layer and the model; returns false on a mismatch.
  void RunOne(bool stretch, int round) {
    const bool dst_mono = Between(0, 3) == 0, src_mono = Between(0, 3) == 0;
    const bool same = Between(0, 5) == 0;
    const int32_t dw = Between(1, 24), dh = Between(1, 16);
    Bitmap dst_bitmap = Picture(dst_mono, dw, dh);
    Bitmap src_bitmap = same ? Bitmap() : Picture(src_mono, Between(1, 24), Between(1, 16));
    Bitmap model_dst = dst_bitmap;
    Bitmap model_src = src_bitmap;

    Dc dst, src;
    dst.SelectBitmap(&dst_bitmap);
    src.SelectBitmap(same ? &dst_bitmap : &src_bitmap);
    dst.SetStretchBltMode(COLORONCOLOR);
    const ColorRef bk = ColorRefFromRgb(0x010203u * Between(0, 5));
    const ColorRef text = ColorRefFromRgb(0x102030u * Between(0, 5));
    const ColorRef src_bk = ColorRefFromRgb(0x010203u * Between(0, 5));
    dst.SetBkColor(bk);
    dst.SetTextColor(text);
    src.SetBkColor(same ? bk : src_bk);
    const std::optional<Region> clip = Clip(dw, dh);
    if (clip) dst.SelectClipRgn(&*clip);

    test::ModelContext md{&model_dst, RgbFromColorRef(bk), RgbFromColorRef(text),
                          clip ? &*clip : nullptr};
    test::ModelContext ms{same ? &model_dst : &model_src, RgbFromColorRef(same ? bk : src_bk)};
    const Bitmap snapshot = model_dst;  // the model reads a snapshot when source is destination
    test::ModelContext ms_same{const_cast<Bitmap*>(&snapshot), ms.bk_rgb};

    Damage damage;
    const bool tracked = Between(0, 1) == 0;
    if (tracked) dst.TrackDamage(&damage);
    const Bitmap before = dst_bitmap;

    const int32_t x = Coordinate(), y = Coordinate();
    const bool in_place = Between(0, 2) == 0;  // the case a tracked context compares
    const int32_t sx = in_place ? x : Coordinate(), sy = in_place ? y : Coordinate();
    const int32_t w = Extent(), h = Extent();
    const uint32_t rop = Rop();
    std::string call;
    if (stretch) {
      const int32_t sw = Extent(), sh = Extent();
      StretchBlt(dst, x, y, w, h, src, sx, sy, sw, sh, rop);
      test::ModelStretch(md, x, y, w, h, same ? ms_same : ms, sx, sy, sw, sh, rop);
      call = "StretchBlt(" + std::to_string(x) + "," + std::to_string(y) + "," + std::to_string(w) +
             "," + std::to_string(h) + "," + std::to_string(sx) + "," + std::to_string(sy) + "," +
             std::to_string(sw) + "," + std::to_string(sh) + ")";
    } else {
      BitBlt(dst, x, y, w, h, src, sx, sy, rop);
      test::ModelBitBlt(md, x, y, w, h, same ? ms_same : ms, sx, sy, rop);
      call = "BitBlt(" + std::to_string(x) + "," + std::to_string(y) + "," + std::to_string(w) +
             "," + std::to_string(h) + "," + std::to_string(sx) + "," + std::to_string(sy) + ")";
    }
    ASSERT_EQ(dst_bitmap, model_dst) << "round " << round << ": " << call << " rop " << std::hex
                                     << rop << std::dec << (dst_mono ? " mono" : " colour") << "<-"
                                     << (same       ? "same"
                                         : src_mono ? "mono"
                                                    : "colour")
                                     << (clip ? " clipped" : "");
    if (!same) {
      ASSERT_EQ(src_bitmap, model_src);  // the source is only read
    }
    if (tracked) ExpectDamageCovers(damage, before, dst_bitmap, round);
  }

  static void ExpectDamageCovers(Damage& damage, const Bitmap& before, const Bitmap& after,
                                 int round) {
    std::vector<Rect> rects;
    damage.TakeRects(rects);
    for (int32_t y = 0; y < after.Height(); ++y) {
      for (int32_t x = 0; x < after.Width(); ++x) {
        int covering = 0;
        for (const Rect& r : rects)
          covering += x >= r.left && x < r.right && y >= r.top && y < r.bottom;
        ASSERT_LE(covering, 1) << "round " << round << ": rectangles overlap at " << x << "," << y;
        if (before.Pixel(x, y) != after.Pixel(x, y)) {
          ASSERT_EQ(covering, 1) << "round " << round << ": changed pixel " << x << "," << y;
        }
      }
    }
    for (const Rect& r : rects) {
      ASSERT_FALSE(r.Empty());
      ASSERT_EQ(Intersect(r, {0, 0, after.Width(), after.Height()}), r) << "round " << round;
    }
  }
};

TEST_F(RandomBlits, BitBltAgreesWithTheModel) {
  for (int round = 0; round < 4000; ++round) {
    RunOne(false, round);
    if (HasFatalFailure()) return;
  }
}

TEST_F(RandomBlits, StretchBltAgreesWithTheModel) {
  for (int round = 0; round < 4000; ++round) {
    RunOne(true, round);
    if (HasFatalFailure()) return;
  }
}

// Frames larger than the caches take the streamed copies; odd offsets misalign the rows.
TEST(LargeBlits, FrameSizedCopiesAndStretchesAgreeWithTheModel) {
  const int32_t w = 1101, h = 701;
  const Bitmap picture = test::NumberedPicture(w, h, 9);
  for (int variant = 0; variant < 4; ++variant) {
    Bitmap target = Bitmap::Color(w, h, 0x0A0B0C);
    Bitmap model = target;
    Bitmap source = picture;
    Dc dst, src;
    dst.SelectBitmap(&target);
    src.SelectBitmap(&source);
    dst.SetStretchBltMode(COLORONCOLOR);
    const Region ellipse = Region::Ellipse(3, 1, w - 2, h);
    if (variant % 2) dst.SelectClipRgn(&ellipse);
    test::ModelContext md{&model, 0xFFFFFF, 0, variant % 2 ? &ellipse : nullptr};
    const test::ModelContext ms{&source, 0xFFFFFF};
    if (variant < 2) {
      BitBlt(dst, 3, 1, w - 5, h - 1, src, 1, 0, SRCCOPY);
      test::ModelBitBlt(md, 3, 1, w - 5, h - 1, ms, 1, 0, SRCCOPY);
    } else {
      StretchBlt(dst, w - 8, 5, -(w - 13), h - 9, src, 0, 0, w, h, SRCCOPY);
      test::ModelStretch(md, w - 8, 5, -(w - 13), h - 9, ms, 0, 0, w, h, SRCCOPY);
    }
    EXPECT_TRUE(target == model) << "variant " << variant;
  }
}

}  // namespace
}  // namespace slidesaver::gdi

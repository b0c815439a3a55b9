// Regions: the shapes, the fill modes, degenerate and oversized boxes, descriptions.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "gdi/region.h"
#include "tests/unit/gdi/gdi_test_support.h"

namespace slidesaver::gdi {
namespace {

using Rows = std::vector<std::vector<int32_t>>;

TEST(Region, EllipseSixteenByEightHasTheMeasuredRowsAndAnEmptyLastRow) {
  const Region r = Region::Ellipse(0, 0, 16, 8);
  EXPECT_EQ(test::RowsOf(r, 16, 8),
            (Rows{{4, 11}, {2, 13}, {0, 15}, {0, 15}, {0, 15}, {2, 13}, {4, 11}, {}}));
  EXPECT_EQ(r.Bounds(), (Rect{0, 0, 15, 7}));
  EXPECT_EQ(r.Top(), 0);
  EXPECT_TRUE(r.Contains(4, 0));
  EXPECT_FALSE(r.Contains(11, 0));
  EXPECT_FALSE(r.Contains(7, 7));
}

TEST(Region, EllipseCornersInEitherOrderGiveTheSameRegion) {
  const Rows expected = test::RowsOf(Region::Ellipse(3, 5, 40, 30), 50, 40);
  EXPECT_EQ(test::RowsOf(Region::Ellipse(40, 30, 3, 5), 50, 40), expected);
  EXPECT_EQ(test::RowsOf(Region::Ellipse(40, 5, 3, 30), 50, 40), expected);
}

TEST(Region, EllipseIsSymmetricAndConvex) {
  for (int32_t w : {3, 4, 5, 17, 64, 301}) {
    for (int32_t h : {3, 4, 9, 40, 203}) {
      const Region r = Region::Ellipse(10, 20, 10 + w, 20 + h);
      const Rect b = r.Bounds();
      int32_t previous_width = -1;
      for (int32_t y = b.top; y < b.bottom; ++y) {
        const auto spans = r.Row(y);
        ASSERT_LE(spans.size(), 1u) << w << "x" << h << " row " << y;
        if (spans.empty()) continue;
        // Mirror image left to right, and top to bottom.
        EXPECT_EQ(spans[0].left - b.left, b.right - spans[0].right) << w << "x" << h;
        const auto mirrored = r.Row(b.top + b.bottom - 1 - y);
        ASSERT_EQ(mirrored.size(), 1u);
        EXPECT_EQ(mirrored[0], spans[0]);
        // Widening down to the middle row.
        const int32_t width = spans[0].right - spans[0].left;
        if (y < (b.top + b.bottom) / 2) {
          EXPECT_GE(width, previous_width);
        }
        previous_width = width;
      }
    }
  }
}

TEST(Region, ThinEllipsesAreTheirBoxLessOneColumnAndRow) {
  EXPECT_EQ(test::RowsOf(Region::Ellipse(5, 2, 7, 6), 10, 8),
            (Rows{{}, {}, {5, 6}, {5, 6}, {5, 6}, {}, {}, {}}));
  // A zero-width box still gives the column left of it (the corners are swapped first).
  EXPECT_EQ(test::RowsOf(Region::Ellipse(4, 1, 4, 3), 6, 4), (Rows{{}, {3, 4}, {}, {}}));
  EXPECT_TRUE(Region::Ellipse(4, 4, 5, 5).Empty());
}

TEST(Region, HugeOrExtremeEllipsesFailQuietlyInsteadOfExhaustingMemory) {
  const Region huge = Region::Ellipse(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX);
  EXPECT_TRUE(huge.Empty());
  // The largest allowed ellipse (its error terms stay inside 64 bits), and one pixel more.
  const auto most = static_cast<int32_t>(Region::kMaxExtent) + 1;
  const Region largest = Region::Ellipse(0, 0, most, most);
  EXPECT_EQ(largest.Bounds(), (Rect{0, 0, most - 1, most - 1}));
  EXPECT_TRUE(largest.Contains(most / 2, most / 2));
  EXPECT_FALSE(largest.Contains(0, 0));
  EXPECT_TRUE(Region::Ellipse(0, 0, most + 1, 10).Empty());
  // Large but allowed: a circle twice the size of a big screen, far off the origin.
  const Region big = Region::Ellipse(-4000, -3000, 4000, 3000);
  EXPECT_EQ(big.Bounds(), (Rect{-4000, -3000, 3999, 2999}));
  EXPECT_TRUE(big.Contains(0, 0));
  const Region far = Region::Ellipse(INT32_MAX - 100, INT32_MAX - 50, INT32_MAX, INT32_MAX);
  EXPECT_EQ(far.Bounds().right, INT32_MAX - 1);
}

TEST(Region, RectangleRegionsAreHalfOpenWithCornersInEitherOrder) {
  const Region r = Region::FromRect(7, 5, 2, 1);
  EXPECT_EQ(r.Bounds(), (Rect{2, 1, 7, 5}));
  EXPECT_TRUE(r.Contains(2, 1));
  EXPECT_TRUE(r.Contains(6, 4));
  EXPECT_FALSE(r.Contains(7, 4));
  EXPECT_FALSE(r.Contains(6, 5));
  EXPECT_TRUE(Region::FromRect(3, 3, 3, 9).Empty());
  EXPECT_TRUE(Region().Empty());
  EXPECT_TRUE(Region().Row(0).empty());
}

// A pentagram: its centre is covered twice, so ALTERNATE leaves it out and WINDING fills it.
std::vector<PolyPoint> Pentagram() { return {{50, 0}, {79, 90}, {2, 35}, {98, 35}, {21, 90}}; }

TEST(Region, PolygonFillModesDifferOnlyWhereEdgesOverlap) {
  const Region alternate = Region::Polygon(Pentagram(), 1);
  const Region winding = Region::Polygon(Pentagram(), 2);
  EXPECT_FALSE(alternate.Contains(50, 50));
  EXPECT_TRUE(winding.Contains(50, 50));
  // The points of the star are in both.
  EXPECT_TRUE(alternate.Contains(50, 10));
  EXPECT_TRUE(winding.Contains(50, 10));
  EXPECT_TRUE(alternate.Contains(10, 37));
  // WINDING covers everything ALTERNATE does.
  for (int32_t y = 0; y < 100; ++y) {
    for (int32_t x = 0; x < 100; ++x) {
      if (alternate.Contains(x, y)) {
        EXPECT_TRUE(winding.Contains(x, y)) << x << "," << y;
      }
    }
  }
}

TEST(Region, PolygonFillModeZeroAndUnknownModesAreAlternate) {
  const Rows alternate = test::RowsOf(Region::Polygon(Pentagram(), 1), 100, 100);
  EXPECT_EQ(test::RowsOf(Region::Polygon(Pentagram(), 0), 100, 100), alternate);
  EXPECT_EQ(test::RowsOf(Region::Polygon(Pentagram(), 7), 100, 100), alternate);
}

TEST(Region, PolygonSquareCoversItsPixelsHalfOpen) {
  const std::vector<PolyPoint> square{{2, 1}, {6, 1}, {6, 4}, {2, 4}};
  EXPECT_EQ(test::RowsOf(Region::Polygon(square, 1), 8, 6),
            (Rows{{}, {2, 6}, {2, 6}, {2, 6}, {}, {}}));
}

TEST(Region, DegeneratePolygonsAreEmpty) {
  EXPECT_TRUE(Region::Polygon({}, 1).Empty());
  const std::vector<PolyPoint> two{{0, 0}, {10, 10}};
  EXPECT_TRUE(Region::Polygon(two, 1).Empty());
  const std::vector<PolyPoint> flat{{0, 5}, {10, 5}, {20, 5}};
  EXPECT_TRUE(Region::Polygon(flat, 2).Empty());
}

TEST(Region, PolygonsWithExtremeCoordinatesStayExact) {
  // A wedge from the centre of a screen to points far outside it, as the sweeps use.
  const std::vector<PolyPoint> wedge{{960, 540}, {INT32_MAX, 0}, {INT32_MAX, 1080}};
  const Region r = Region::Polygon(wedge, 0);
  EXPECT_TRUE(r.Contains(1919, 540));
  EXPECT_TRUE(r.Contains(961, 540));
  EXPECT_FALSE(r.Contains(959, 540));
  EXPECT_EQ(r.Row(540).back().right, INT32_MAX);
  // Too tall to hold: no region rather than gigabytes of rows.
  const std::vector<PolyPoint> tall{{0, INT32_MIN}, {10, INT32_MAX}, {-10, INT32_MAX}};
  EXPECT_TRUE(Region::Polygon(tall, 1).Empty());
}

}  // namespace
}  // namespace slidesaver::gdi

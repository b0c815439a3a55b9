// Where the show area lands in a room that is not the player's own full screen.
#include <gtest/gtest.h>

#include "platform/area_placement.h"

namespace slidesaver::platform {
namespace {

TEST(PlaceArea, CentredWhenItFitsElseScaledToFitWithItsAspectOrAsTheFitAsks) {
  const struct {
    ScreenSize window;
    int32_t area_w, area_h;
    gdi::Rect expected;
    bool scaled;
    gdi::AreaFit fit = gdi::AreaFit::OwnSize;
  } cases[] = {
      // Room enough: centred as /S centres it (each half truncated), even exactly filled.
      {{1024, 768}, 800, 600, {112, 84, 912, 684}, false},
      {{1025, 769}, 801, 601, {112, 84, 913, 685}, false},
      {{800, 600}, 800, 600, {0, 0, 800, 600}, false},
      // Smaller: the limiting side fills the window, the other is rounded and centred.
      {{320, 240}, 1920, 1080, {0, 30, 320, 210}, true},
      {{320, 240}, 800, 600, {0, 0, 320, 240}, true},
      {{320, 240}, 480, 240, {0, 40, 320, 200}, true},
      {{200, 300}, 800, 600, {0, 75, 200, 225}, true},
      {{320, 240}, 240, 480, {100, 0, 220, 240}, true},
      {{1920, 50}, 1000, 100, {710, 0, 1210, 50}, true},
      {{800, 600}, 801, 600, {0, 0, 800, 599}, true},  // one pixel too wide
      // A sliver never gets less than a pixel.
      {{100, 100}, 16384, 1, {0, 49, 100, 50}, true},
      // Fill enlarges to the limiting side; sharp to the largest whole factor, or not at all.
      {{3840, 2160}, 800, 600, {480, 0, 3360, 2160}, true, gdi::AreaFit::Fill},
      {{2560, 1440}, 640, 480, {320, 0, 2240, 1440}, true, gdi::AreaFit::Fill},
      {{800, 600}, 800, 600, {0, 0, 800, 600}, false, gdi::AreaFit::Fill},
      {{3840, 2160}, 800, 600, {720, 180, 3120, 1980}, true, gdi::AreaFit::Sharp},
      {{2560, 1440}, 640, 480, {320, 0, 2240, 1440}, true, gdi::AreaFit::Sharp},
      {{1279, 1000}, 640, 480, {319, 260, 959, 740}, false, gdi::AreaFit::Sharp},
      // Too large for the room, every fit scales down.
      {{320, 240}, 1920, 1080, {0, 30, 320, 210}, true, gdi::AreaFit::Sharp},
      {{320, 240}, 1920, 1080, {0, 30, 320, 210}, true, gdi::AreaFit::Fill},
      // Nothing to place.
      {{0, 240}, 800, 600, {}, false},
      {{320, 240}, 0, 600, {}, false},
  };
  for (const auto& c : cases) {
    const AreaPlacement placed = PlaceArea(c.window, c.area_w, c.area_h, c.fit);
    EXPECT_EQ(placed.on_target, c.expected)
        << c.window.width << "x" << c.window.height << " " << c.area_w << "x" << c.area_h;
    EXPECT_EQ(placed.scaled, c.scaled);
  }
}

}  // namespace
}  // namespace slidesaver::platform

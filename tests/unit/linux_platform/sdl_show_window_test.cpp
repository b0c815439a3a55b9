// The SDL show window's pieces that need no window: the class each place gets, and the one copy
// of pixels between the show's images and SDL surfaces of every layout.
#include <gtest/gtest.h>

#include "platform/linux/sdl/foreign_show_window.h"
#include "platform/linux/sdl/full_screen_show_window.h"
#include "platform/linux/sdl/make_sdl_show_window.h"
#include "platform/linux/sdl/own_show_window.h"
#include "platform/linux/sdl/surface_pixels.h"

namespace slidesaver::linux_platform {
namespace {

TEST(MakeSdlShowWindow, EachPlaceGetsItsWindow) {
  auto sdl = std::make_shared<SdlContext>();
  const auto full_screen = MakeSdlShowWindow(sdl, {ShowPlace::Kind::Screen});
  EXPECT_NE(dynamic_cast<FullScreenShowWindow*>(full_screen.get()), nullptr);
  const auto own = MakeSdlShowWindow(sdl, {ShowPlace::Kind::OwnWindow});
  EXPECT_NE(dynamic_cast<OwnShowWindow*>(own.get()), nullptr);
  // Another program's window is named before it is opened.
  const auto foreign = MakeSdlShowWindow(sdl, {ShowPlace::Kind::ForeignWindow, 0x1234567});
  EXPECT_NE(dynamic_cast<ForeignShowWindow*>(foreign.get()), nullptr);
  EXPECT_EQ(foreign->Handle(), 0x1234567u);
}

TEST(SurfacePixels, ARectangleGoesToTheSurfaceAndBackUnchangedInEveryLayout) {
  gdi::Bitmap image = gdi::Bitmap::Color(5, 4);
  for (int32_t y = 0; y < image.Height(); ++y) {
    for (int32_t x = 0; x < image.Width(); ++x) image.Row(y)[x] = 0x102030u * (y * 5 + x + 1);
  }
  const gdi::Rect part{1, 1, 4, 3};
  // Plain copies for 32-bit layouts, SDL's conversion for a 24-bit one.
  for (const uint32_t format :
       {SDL_PIXELFORMAT_RGB888, SDL_PIXELFORMAT_ARGB8888, SDL_PIXELFORMAT_RGB24}) {
    SCOPED_TRACE(SDL_GetPixelFormatName(format));
    const SdlSurface surface(SDL_CreateRGBSurfaceWithFormat(0, 8, 6, 32, format));
    ASSERT_TRUE(surface);
    SDL_FillRect(surface.get(), nullptr, 0);
    CopyImageToSurface(image, part, *surface, 2, 3);
    // Into the surface at (2, 3), nowhere else: read back, with a black frame around it.
    gdi::Bitmap back = gdi::Bitmap::Color(5, 4);
    CopySurfaceToImage(*surface, {1, 2, 6, 6}, back);
    for (int32_t y = 0; y < 4; ++y) {
      for (int32_t x = 0; x < 5; ++x) {
        const bool copied = x >= 1 && x < 4 && y >= 1 && y < 3;
        const uint32_t expected = copied ? image.Row(y)[x] : 0u;
        EXPECT_EQ(back.Row(y)[x] & 0xFFFFFFu, expected) << x << "," << y;
      }
    }
  }
}

}  // namespace
}  // namespace slidesaver::linux_platform

#pragma once
// The demo show's pictures: names, sizes and how each is painted.
#include <string>
#include <vector>

#include "demo_canvas.h"

namespace demo {

// The show's background colour (demo.toml says "#203040"). The colour-keyed pictures leave
// their empty areas exactly this colour, which JPEG keeps exact in flat areas.
inline constexpr uint32_t kBackground = 0x203040;

struct PictureSpec {
  std::string file;
  int width;
  int height;
  bool colour_keyed;  // empty areas are the exact background colour
  int samples;        // per axis per pixel
  Painter painter;
};

std::vector<PictureSpec> DemoPictures();

}  // namespace demo

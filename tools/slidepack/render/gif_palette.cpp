#include "tools/slidepack/render/gif_palette.h"

#include <libimagequant.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "tools/slidepack/slidepack_error.h"

namespace slidepack::render {

namespace {

template <auto Destroy>
struct Deleter {
  template <class T>
  void operator()(T* p) const {
    Destroy(p);
  }
};
using Attributes = std::unique_ptr<liq_attr, Deleter<liq_attr_destroy>>;
using Image = std::unique_ptr<liq_image, Deleter<liq_image_destroy>>;
using Result = std::unique_ptr<liq_result, Deleter<liq_result_destroy>>;

}  // namespace

void QuantizeFrame(const FrameView& frame, uint8_t* indices, int stride, uint32_t palette[256]) {
  const int width = frame.width, height = frame.height;
  std::vector<uint8_t> rgba(static_cast<size_t>(width) * height * 4);
  ConvertToRgba(frame, rgba.data(), width * 4);
  Attributes attributes(liq_attr_create());
  if (!attributes) throw SlidepackError("cannot choose the colours of a GIF frame");
  Image image(liq_image_create_rgba(attributes.get(), rgba.data(), width, height, 0));
  liq_result* made = nullptr;
  if (!image || liq_image_quantize(image.get(), attributes.get(), &made) != LIQ_OK) {
    throw SlidepackError("cannot choose the colours of a GIF frame");
  }
  Result result(made);
  liq_set_dithering_level(result.get(), 1.0f);
  std::vector<uint8_t> remapped(static_cast<size_t>(width) * height);
  if (liq_write_remapped_image(result.get(), image.get(), remapped.data(), remapped.size()) !=
      LIQ_OK) {
    throw SlidepackError("cannot choose the colours of a GIF frame");
  }
  for (int y = 0; y < height; ++y) {
    std::copy_n(remapped.data() + static_cast<size_t>(y) * width, width,
                indices + static_cast<ptrdiff_t>(y) * stride);
  }
  const liq_palette* colours = liq_get_palette(result.get());
  for (unsigned i = 0; i < 256; ++i) {
    if (i < colours->count) {
      const liq_color& c = colours->entries[i];
      palette[i] = 0xFF000000u | uint32_t{c.r} << 16 | uint32_t{c.g} << 8 | c.b;
    } else {
      palette[i] = 0xFF000000u;
    }
  }
}

}  // namespace slidepack::render

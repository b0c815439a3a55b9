#include "tools/slidepack/prepare_picture.h"

#include <vips/vips8>

#include <algorithm>
#include <cmath>

#include "tools/slidepack/interrupt.h"
#include "tools/slidepack/slidepack_error.h"
#include "tools/slidepack/vips_library.h"

namespace slidepack {

namespace {

// Orientations 5 to 8 turn the picture by a quarter.
Size Upright(const PictureFacts& facts) {
  return facts.orientation >= 5 ? Size{facts.height, facts.width} : Size{facts.width, facts.height};
}

int Scaled(int side, double scale) {
  return std::max(1, static_cast<int>(std::lround(side * scale)));
}

}  // namespace

Size FittedSize(Size upright, const PrepareSettings& settings) {
  const double across = static_cast<double>(settings.area_width) / upright.width;
  const double down = static_cast<double>(settings.area_height) / upright.height;
  const double scale =
      std::min(settings.fit == Fit::kCover ? std::max(across, down) : std::min(across, down),
               settings.max_upscale);
  Size size{Scaled(upright.width, scale), Scaled(upright.height, scale)};
  size.width = std::min(size.width, settings.area_width);
  size.height = std::min(size.height, settings.area_height);
  return size;
}

PreparedPicture PreparePicture(std::span<const uint8_t> bytes, const PictureFacts& facts,
                               const PrepareSettings& settings) {
  StartVips();
  const Size box = FittedSize(Upright(facts), settings);
  PreparedPicture prepared;
  try {
    const BorrowedBlob blob(bytes);
    // Shrink-on-load, orientation, colour management and the resize itself.
    vips::VOption* options = vips::VImage::option()
                                 ->set("height", box.height)
                                 ->set("size", VIPS_SIZE_BOTH)
                                 ->set("crop", settings.fit == Fit::kCover ? VIPS_INTERESTING_CENTRE
                                                                           : VIPS_INTERESTING_NONE)
                                 ->set("fail_on", VIPS_FAIL_ON_ERROR);
    // A picture's own profile takes it to sRGB. Without one it is sRGB already (or CMYK,
    // which libvips converts through its CMYK profile): a transform would only shift colours.
    if (facts.icc_profile) options->set("export_profile", "srgb");
    vips::VImage image = vips::VImage::thumbnail_buffer(blob.get(), box.width, options);
    if (image.interpretation() != VIPS_INTERPRETATION_sRGB || image.bands() < 3) {
      image = image.colourspace(VIPS_INTERPRETATION_sRGB);
    }
    if (image.has_alpha()) {
      const int32_t colour = settings.background;
      image = image.flatten(vips::VImage::option()->set(
          "background", std::vector<double>{static_cast<double>(colour & 0xFF),
                                            static_cast<double>((colour >> 8) & 0xFF),
                                            static_cast<double>((colour >> 16) & 0xFF)}));
    }
    if (image.format() != VIPS_FORMAT_UCHAR) image = image.cast(VIPS_FORMAT_UCHAR);
    StopOnInterrupt(image);
    VipsBlob* jpeg = image.jpegsave_buffer(vips::VImage::option()
                                               ->set("Q", settings.quality)
                                               ->set("strip", true)
                                               ->set("optimize_coding", true)
                                               ->set("interlace", false));
    size_t length = 0;
    const auto* data = static_cast<const uint8_t*>(vips_blob_get(jpeg, &length));
    prepared.jpeg.assign(data, data + length);
    vips_area_unref(VIPS_AREA(jpeg));
    prepared.width = image.width();
    prepared.height = image.height();
  } catch (const vips::VError& error) {
    StopIfInterrupted();
    throw SlidepackError("does not decode completely (" + VipsReason(error) + ")");
  }
  prepared.x = (settings.area_width - prepared.width) / 2;
  prepared.y = (settings.area_height - prepared.height) / 2;
  return prepared;
}

}  // namespace slidepack

#include "photos/prepare_picture.h"

#include <vips/vips8>

#include <algorithm>
#include <cmath>
#include <memory>

#include "photos/photo_error.h"
#include "photos/vips_library.h"

namespace slidesaver::photos {

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

namespace {

// Shrink-on-load, orientation, colour management, the resize and the background under any
// transparency: the picture as both the build and the folder show it, in 8-bit sRGB.
// With `source`, the picture is read through it (BMP, which libvips reads from a buffer only,
// from `bytes`).
vips::VImage FittedImage(std::span<const uint8_t> bytes, const PictureFacts& facts,
                         const PrepareSettings& settings,
                         const AbandonableSource* source = nullptr) {
  StartVips();
  const Size box = FittedSize(Upright(facts), settings);
  const BorrowedBlob blob(bytes);
  vips::VOption* options =
      vips::VImage::option()
          ->set("height", box.height)
          ->set("size", VIPS_SIZE_BOTH)
          ->set("crop",
                settings.fit == Fit::kCover ? VIPS_INTERESTING_CENTRE : VIPS_INTERESTING_NONE)
          ->set("fail_on", VIPS_FAIL_ON_ERROR)
          ->set("option_string", LoaderOptions(facts.format == media::PictureFormat::kJpeg));
  // A picture's own profile takes it to sRGB. Without one it is sRGB already (or CMYK,
  // which libvips converts through its CMYK profile): a transform would only shift colours.
  if (facts.icc_profile) options->set("export_profile", "srgb");
  vips::VImage image = source != nullptr && facts.format != media::PictureFormat::kBmp
                           ? vips::VImage::thumbnail_source(source->source(), box.width, options)
                           : vips::VImage::thumbnail_buffer(blob.get(), box.width, options);
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
  StopOnRequest(image);
  return image;
}

PhotoError Undecodable(const vips::VError& error) {
  return PhotoError("does not decode completely (" + VipsReason(error) + ")");
}

}  // namespace

PreparedPicture PreparePicture(std::span<const uint8_t> bytes, const PictureFacts& facts,
                               const PrepareSettings& settings) {
  PreparedPicture prepared;
  try {
    const vips::VImage image = FittedImage(bytes, facts, settings);
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
    throw Undecodable(error);
  }
  prepared.x = (settings.area_width - prepared.width) / 2;
  prepared.y = (settings.area_height - prepared.height) / 2;
  return prepared;
}

PreparedBitmap PrepareBitmap(std::span<const uint8_t> bytes, const PictureFacts& facts,
                             const PrepareSettings& settings, const std::atomic<bool>& abandon) {
  PreparedBitmap prepared;
  // A JPEG decoder looks at the abandon flag after every 512 bytes.
  const bool jpeg = facts.format == media::PictureFormat::kJpeg;
  const AbandonableSource source(bytes, abandon, jpeg ? 512 : UINT64_MAX);
  try {
    const vips::VImage image = FittedImage(bytes, facts, settings, &source)
                                   .extract_band(0, vips::VImage::option()->set("n", 3));
    StopWhenAbandoned(image, abandon);
    size_t length = 0;
    void* pixels = image.write_to_memory(&length);
    const std::unique_ptr<void, decltype(&g_free)> owned(pixels, g_free);
    prepared.picture = gdi::Bitmap::Color(image.width(), image.height());
    const auto* rgb = static_cast<const uint8_t*>(pixels);
    for (int32_t y = 0; y < image.height(); ++y) {
      uint32_t* row = prepared.picture.Row(y);
      for (int32_t x = 0; x < image.width(); ++x, rgb += 3) {
        row[x] = uint32_t{rgb[0]} << 16 | uint32_t{rgb[1]} << 8 | rgb[2];
      }
    }
  } catch (const vips::VError& error) {
    if (abandon.load()) throw PhotoError("abandoned");
    throw Undecodable(error);
  }
  prepared.x = (settings.area_width - prepared.picture.Width()) / 2;
  prepared.y = (settings.area_height - prepared.picture.Height()) / 2;
  return prepared;
}

}  // namespace slidesaver::photos

#include "photos/picture_facts.h"

#include <vips/vips8>

#include <algorithm>
#include <cstring>

#include "photos/media_kind.h"
#include "photos/photo_error.h"
#include "photos/vips_library.h"

namespace slidesaver::photos {

namespace {

// libvips' loaders that slidepack lets near a file. ImageMagick only for BMP, which libvips has
// no loader of its own for: its many other formats are not wanted from a photo folder.
std::optional<media::PictureFormat> FormatOfLoader(const char* loader,
                                                   std::span<const uint8_t> bytes) {
  if (loader == nullptr) return std::nullopt;
  struct Known {
    const char* loader;
    media::PictureFormat format;
  };
  static constexpr Known kKnown[] = {
      {"VipsForeignLoadJpegBuffer", media::PictureFormat::kJpeg},
      {"VipsForeignLoadPngBuffer", media::PictureFormat::kPng},
      {"VipsForeignLoadNsgifBuffer", media::PictureFormat::kGif},
      {"VipsForeignLoadTiffBuffer", media::PictureFormat::kTiff},
      {"VipsForeignLoadWebpBuffer", media::PictureFormat::kWebp},
      {"VipsForeignLoadHeifBuffer", media::PictureFormat::kHeif},
  };
  for (const Known& known : kKnown) {
    if (std::strcmp(loader, known.loader) == 0) return known.format;
  }
  if (std::strcmp(loader, "VipsForeignLoadMagickBuffer") == 0 &&
      IdentifyMedia(bytes).format == "BMP") {
    return media::PictureFormat::kBmp;
  }
  return std::nullopt;
}

std::string StringField(const vips::VImage& image, const char* name) {
  if (vips_image_get_typeof(image.get_image(), name) != VIPS_TYPE_REF_STRING) return "";
  const char* value = nullptr;
  if (vips_image_get_string(image.get_image(), name, &value) != 0 || value == nullptr) return "";
  return value;
}

// libvips gives an EXIF time as "2021:05:06 07:08:09 (2021:05:06 07:08:09, ASCII, ...)".
std::string TimeTaken(const vips::VImage& image) {
  for (const char* field :
       {"exif-ifd2-DateTimeOriginal", "exif-ifd2-DateTimeDigitized", "exif-ifd0-DateTime"}) {
    const std::string value = StringField(image, field).substr(0, 19);
    bool well_formed = value.size() == 19;
    for (size_t i = 0; well_formed && i < value.size(); ++i) {
      const char expected = i == 4 || i == 7 ? ':' : i == 10 ? ' ' : i == 13 || i == 16 ? ':' : '0';
      well_formed = expected == '0' ? value[i] >= '0' && value[i] <= '9' : value[i] == expected;
    }
    if (well_formed && value != "0000:00:00 00:00:00") return value;
  }
  return "";
}

}  // namespace

std::optional<PictureFacts> ReadPictureFacts(std::span<const uint8_t> bytes) {
  StartVips();
  if (bytes.empty()) return std::nullopt;
  const std::optional<media::PictureFormat> format =
      FormatOfLoader(vips_foreign_find_load_buffer(bytes.data(), bytes.size()), bytes);
  vips_error_clear();
  if (!format) return std::nullopt;
  PictureFacts facts;
  facts.format = *format;
  try {
    const vips::VImage image = vips::VImage::new_from_buffer(
        bytes.data(), bytes.size(), "",
        vips::VImage::option()->set("access", VIPS_ACCESS_SEQUENTIAL));
    facts.width = image.width();
    facts.height = image.height();
    if (vips_image_get_typeof(image.get_image(), VIPS_META_ORIENTATION) != 0) {
      facts.orientation = std::clamp(image.get_int(VIPS_META_ORIENTATION), 1, 8);
    }
    facts.cmyk = image.interpretation() == VIPS_INTERPRETATION_CMYK;
    facts.icc_profile = vips_image_get_typeof(image.get_image(), VIPS_META_ICC_NAME) != 0;
    facts.time_taken = TimeTaken(image);
  } catch (const vips::VError& error) {
    throw PhotoError("does not decode completely (" + VipsReason(error) + ")");
  }
  if (int64_t{facts.width} * facts.height > media::kMaxSourcePhotoPixels) {
    throw PhotoError("is too large a picture (" + std::to_string(facts.width) + " x " +
                     std::to_string(facts.height) + "; at most " +
                     std::to_string(media::kMaxSourcePhotoPixels / 1000000) + " megapixels)");
  }
  if (facts.format == media::PictureFormat::kJpeg)
    facts.jpeg_frame = IdentifyMedia(bytes).jpeg_frame;
  return facts;
}

std::string DescribeFormat(const PictureFacts& facts) {
  switch (facts.format) {
    case media::PictureFormat::kJpeg:
      if (facts.cmyk) return "CMYK JPEG";
      return facts.jpeg_frame == 0xC0 || facts.jpeg_frame == 0xC1 || facts.jpeg_frame == 0xC2
                 ? "JPEG"
                 : "JPEG of an uncommon kind";
    default:
      return media::FormatName(facts.format);
  }
}

bool WindowsPlayerDecodes(const PictureFacts& facts) {
  switch (facts.format) {
    case media::PictureFormat::kJpeg:
      // Sequential (baseline or extended) and progressive Huffman-coded frames.
      return !facts.cmyk &&
             (facts.jpeg_frame == 0xC0 || facts.jpeg_frame == 0xC1 || facts.jpeg_frame == 0xC2);
    case media::PictureFormat::kGif:
    case media::PictureFormat::kBmp:
      return true;
    default:
      return false;
  }
}

bool LinuxPlayerDecodes(const PictureFacts& facts) {
  switch (facts.format) {
    case media::PictureFormat::kPng:
    case media::PictureFormat::kTiff:
    case media::PictureFormat::kWebp:
      return true;
    case media::PictureFormat::kHeif:
      return false;
    default:
      return WindowsPlayerDecodes(facts);
  }
}

void CheckDecodesCompletely(std::span<const uint8_t> bytes, const PictureFacts& facts) {
  StartVips();
  try {
    const BorrowedBlob blob(bytes);
    const vips::VImage small = vips::VImage::thumbnail_buffer(
        blob.get(), 64,
        vips::VImage::option()
            ->set("height", 64)
            ->set("no_rotate", true)
            ->set("fail_on", VIPS_FAIL_ON_ERROR)
            ->set("option_string", LoaderOptions(facts.format == media::PictureFormat::kJpeg)));
    StopOnRequest(small);
    (void)small.avg();
  } catch (const vips::VError& error) {
    throw PhotoError("does not decode completely (" + VipsReason(error) + ")");
  }
}

}  // namespace slidesaver::photos

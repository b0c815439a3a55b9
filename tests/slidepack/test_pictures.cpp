#include "test_pictures.h"

#include <zlib.h>

#include "photos/vips_library.h"

namespace slidepack_test {

namespace {

using vips::VImage;

std::vector<double> Colour(const uint8_t (&rgb)[3]) {
  return {double(rgb[0]), double(rgb[1]), double(rgb[2])};
}

std::vector<uint8_t> Take(VipsBlob* blob) {
  size_t length = 0;
  const auto* data = static_cast<const uint8_t*>(vips_blob_get(blob, &length));
  std::vector<uint8_t> bytes(data, data + length);
  vips_area_unref(VIPS_AREA(blob));
  return bytes;
}

}  // namespace

VImage MarkedPicture(int width, int height) {
  slidesaver::photos::StartVips();
  VImage picture = (VImage::black(width, height, VImage::option()->set("bands", 3)) + Colour(kGrey))
                       .cast(VIPS_FORMAT_UCHAR)
                       .copy(VImage::option()->set("interpretation", VIPS_INTERPRETATION_sRGB))
                       .copy_memory();
  const int mark = std::min(width, height) / 4;
  auto fill = [&](const uint8_t(&rgb)[3], int x, int y) {
    picture.draw_rect(Colour(rgb), x, y, mark, mark, VImage::option()->set("fill", true));
  };
  fill(kRed, 0, 0);
  fill(kGreen, width - mark, 0);
  fill(kBlue, 0, height - mark);
  return picture;
}

VImage StoredForOrientation(const VImage& upright, int orientation) {
  // Each orientation says how to turn the stored pixels to show them; store the inverse.
  switch (orientation) {
    case 2:
      return upright.flip(VIPS_DIRECTION_HORIZONTAL);
    case 3:
      return upright.rot(VIPS_ANGLE_D180);
    case 4:
      return upright.flip(VIPS_DIRECTION_VERTICAL);
    case 5:  // transposed: its own inverse
      return upright.rot(VIPS_ANGLE_D90).flip(VIPS_DIRECTION_HORIZONTAL);
    case 6:  // shown turned a quarter clockwise
      return upright.rot(VIPS_ANGLE_D270);
    case 7:  // transversed: its own inverse
      return upright.rot(VIPS_ANGLE_D270).flip(VIPS_DIRECTION_HORIZONTAL);
    case 8:  // shown turned a quarter anticlockwise
      return upright.rot(VIPS_ANGLE_D90);
    default:
      return upright;
  }
}

std::vector<uint8_t> JpegBytes(const VImage& image, int quality, const std::string& exif_time) {
  VImage copy = image.copy();
  if (!exif_time.empty()) copy.set("exif-ifd2-DateTimeOriginal", exif_time.c_str());
  return Take(copy.jpegsave_buffer(VImage::option()->set("Q", quality)));
}

std::vector<uint8_t> HeicPicture(int width, int height) {
  try {
    return Take(MarkedPicture(width, height)
                    .heifsave_buffer(VImage::option()
                                         ->set("compression", VIPS_FOREIGN_HEIF_COMPRESSION_HEVC)
                                         ->set("Q", 90)));
  } catch (const vips::VError&) {
    return {};
  }
}

std::vector<TestPicture> AllTestPictures(int width, int height, bool with_heic) {
  std::vector<TestPicture> pictures;
  const VImage upright = MarkedPicture(width, height);
  for (int orientation = 1; orientation <= 8; ++orientation) {
    VImage stored = StoredForOrientation(upright, orientation).copy();
    stored.set("orientation", orientation);
    pictures.push_back(
        {"orientation-" + std::to_string(orientation) + ".jpg", JpegBytes(stored), width, height});
  }
  const VImage cmyk = upright.icc_export(VImage::option()->set("output_profile", "cmyk"));
  pictures.push_back({"cmyk.jpg", Take(cmyk.jpegsave_buffer(VImage::option()->set("Q", 95))), width,
                      height, false, 48});  // the blue mark lies outside what CMYK inks print
  // Display P3 pixels with their profile embedded: only the profile makes them right in sRGB.
  const VImage p3 = upright.icc_import(VImage::option()->set("input_profile", "srgb"))
                        .icc_export(VImage::option()->set("output_profile", "p3"));
  pictures.push_back({"display-p3.jpg", JpegBytes(p3, 95), width, height});

  // 16 bits a channel, the bottom-right quarter fully transparent.
  VImage alpha = (VImage::black(width, height) + 65535).copy_memory();
  alpha.draw_rect({0.0}, width / 2, height / 2, width - width / 2, height - height / 2,
                  VImage::option()->set("fill", true));
  const VImage rgba16 =
      (upright.cast(VIPS_FORMAT_USHORT) * 257)
          .bandjoin(alpha)
          .cast(VIPS_FORMAT_USHORT)
          .copy(VImage::option()->set("interpretation", VIPS_INTERPRETATION_RGB16));
  pictures.push_back({"deep-alpha.png",
                      Take(rgba16.pngsave_buffer(VImage::option()->set("bitdepth", 16))), width,
                      height, true});
  pictures.push_back({"palette.gif", Take(upright.gifsave_buffer()), width, height});
  pictures.push_back({"plain.tif", Take(upright.tiffsave_buffer()), width, height});
  pictures.push_back({"editor.bmp",
                      Take(upright.magicksave_buffer(VImage::option()->set("format", "bmp3"))),
                      width, height});
  pictures.push_back(
      {"lossy.webp", Take(upright.webpsave_buffer(VImage::option()->set("Q", 95))), width, height});
  if (with_heic) {
    std::vector<uint8_t> heic = HeicPicture(width, height);
    if (!heic.empty()) pictures.push_back({"phone.heic", std::move(heic), width, height});
  }
  return pictures;
}

VImage PhotoLikePicture(int width, int height, int seed) {
  slidesaver::photos::StartVips();
  const VImage x = VImage::xyz(width, height)[0];
  const VImage y = VImage::xyz(width, height)[1];
  const double phase = seed * 0.7;
  const VImage red = (x * (255.0 / width) + (y * 0.01 + phase).sin() * 20);
  const VImage green = (y * (255.0 / height) + (x * 0.013 + phase).cos() * 20);
  const VImage blue = ((x + y) * (127.0 / (width + height)) + 64);
  const VImage noise =
      VImage::gaussnoise(width, height, VImage::option()->set("sigma", 12)->set("seed", seed));
  return (red.bandjoin(green).bandjoin(blue) + noise)
      .cast(VIPS_FORMAT_UCHAR)
      .copy(VImage::option()->set("interpretation", VIPS_INTERPRETATION_sRGB));
}

std::vector<uint8_t> PngBomb() {
  std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  auto chunk = [&](const char* type, const std::vector<uint8_t>& data) {
    const uint32_t length = static_cast<uint32_t>(data.size());
    for (int shift = 24; shift >= 0; shift -= 8) png.push_back(uint8_t(length >> shift));
    std::vector<uint8_t> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    png.insert(png.end(), body.begin(), body.end());
    const uint32_t crc =
        static_cast<uint32_t>(crc32(0, body.data(), static_cast<uInt>(body.size())));
    for (int shift = 24; shift >= 0; shift -= 8) png.push_back(uint8_t(crc >> shift));
  };
  const uint32_t side = 30000;
  std::vector<uint8_t> header;
  for (int i = 0; i < 2; ++i)
    for (int shift = 24; shift >= 0; shift -= 8) header.push_back(uint8_t(side >> shift));
  header.insert(header.end(), {1, 0, 0, 0, 0});  // 1 bit grey
  chunk("IHDR", header);
  z_stream stream{};
  deflateInit(&stream, Z_BEST_COMPRESSION);
  const std::vector<uint8_t> row(1 + side / 8, 0);
  std::vector<uint8_t> data, out(1 << 16);
  for (uint32_t y = 0; y <= side; ++y) {
    stream.next_in = const_cast<Bytef*>(row.data());
    stream.avail_in = y < side ? static_cast<uInt>(row.size()) : 0;
    do {
      stream.next_out = out.data();
      stream.avail_out = static_cast<uInt>(out.size());
      deflate(&stream, y < side ? Z_NO_FLUSH : Z_FINISH);
      data.insert(data.end(), out.data(), out.data() + (out.size() - stream.avail_out));
    } while (stream.avail_out == 0);
  }
  deflateEnd(&stream);
  chunk("IDAT", data);
  chunk("IEND", {});
  return png;
}

}  // namespace slidepack_test

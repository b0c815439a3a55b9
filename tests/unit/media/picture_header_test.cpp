// The check both players make before decoding a picture: the size from the header against the
// budget, and all of the picture's data in the file. The pictures are built here byte by byte:
// the check reads structure, not pixels.
#include "media/picture_header.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace slidesaver::media {
namespace {

using Bytes = std::vector<uint8_t>;

void Be16(Bytes& b, uint32_t v) {
  b.push_back(uint8_t(v >> 8));
  b.push_back(uint8_t(v));
}
void Be32(Bytes& b, uint32_t v) {
  Be16(b, v >> 16);
  Be16(b, v);
}
void Le16(Bytes& b, uint32_t v) {
  b.push_back(uint8_t(v));
  b.push_back(uint8_t(v >> 8));
}
void Le32(Bytes& b, uint32_t v) {
  Le16(b, v);
  Le16(b, v >> 16);
}
void Text(Bytes& b, const char* s) { b.insert(b.end(), s, s + std::char_traits<char>::length(s)); }

// SOI, an APP0, the frame header, `scans` scans whose data holds a stuffed 0xFF and a restart
// marker, then EOI.
Bytes Jpeg(uint32_t w, uint32_t h, uint8_t frame = 0xC0, int scans = 1, uint8_t components = 1) {
  Bytes b{0xFF, 0xD8, 0xFF, 0xE0};
  Be16(b, 6);
  Text(b, "JFIF");
  b.insert(b.end(), {0xFF, frame});
  Be16(b, 8 + 3 * components);
  b.push_back(8);
  Be16(b, h);
  Be16(b, w);
  b.push_back(components);
  for (uint8_t c = 1; c <= components; ++c) b.insert(b.end(), {c, 0x11, 0});
  for (int i = 0; i < scans; ++i) {
    b.insert(b.end(), {0xFF, 0xDA});
    Be16(b, 8);
    b.insert(b.end(), {1, 1, 0, 0, 63, 0});
    b.insert(b.end(), {0x12, 0xFF, 0x00, 0x34, 0xFF, 0xD0, 0x56});
  }
  b.insert(b.end(), {0xFF, 0xD9});
  return b;
}

void PngChunk(Bytes& b, const char* type, const Bytes& data) {
  Be32(b, static_cast<uint32_t>(data.size()));
  Text(b, type);
  b.insert(b.end(), data.begin(), data.end());
  Be32(b, 0);  // the CRC is the decoder's to check
}

Bytes Png(uint32_t w, uint32_t h) {
  Bytes b{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  Bytes header;
  Be32(header, w);
  Be32(header, h);
  header.insert(header.end(), {8, 6, 0, 0, 0});
  PngChunk(b, "IHDR", header);
  PngChunk(b, "IDAT", Bytes(40, 0x55));
  PngChunk(b, "IEND", {});
  return b;
}

// LZW data of `pixels` pixels of colour 0 with the smallest code size: each pixel a clear code
// and a literal, 6 bits, in sub-blocks of 255 bytes, then the terminator.
void GifData(Bytes& b, int64_t pixels) {
  b.push_back(2);
  Bytes packed;
  uint32_t bits = 0, held = 0;
  const auto put = [&](uint32_t code) {
    bits |= code << held;
    held += 3;
    while (held >= 8) {
      packed.push_back(uint8_t(bits));
      bits >>= 8;
      held -= 8;
    }
  };
  for (int64_t i = 0; i < pixels; ++i) {
    put(4);  // clear
    put(0);
  }
  put(5);  // end
  if (held > 0) packed.push_back(uint8_t(bits));
  for (size_t at = 0; at < packed.size(); at += 255) {
    const size_t n = std::min<size_t>(255, packed.size() - at);
    b.push_back(uint8_t(n));
    b.insert(b.end(), packed.begin() + static_cast<ptrdiff_t>(at),
             packed.begin() + static_cast<ptrdiff_t>(at + n));
  }
  b.push_back(0);
}

// A logical screen of w x h with one image of the same size (its data only when it is small
// enough to make here).
Bytes Gif(uint32_t w, uint32_t h) {
  Bytes b;
  Text(b, "GIF89a");
  Le16(b, w);
  Le16(b, h);
  b.insert(b.end(), {0x80, 0, 0});                    // a global colour table of two colours
  b.insert(b.end(), {0, 0, 0, 255, 255, 255});        // ...
  b.insert(b.end(), {0x21, 0xF9, 4, 0, 0, 0, 0, 0});  // graphic control extension
  b.push_back(0x2C);
  Le16(b, 0);
  Le16(b, 0);
  Le16(b, w);
  Le16(b, h);
  b.push_back(0);
  GifData(b, int64_t{w} * h <= (1 << 21) ? int64_t{w} * h : 1);
  b.push_back(0x3B);
  return b;
}

Bytes Bmp(int32_t w, int32_t h) {
  const uint32_t rows =
      ((static_cast<uint32_t>(w) * 24 + 31) / 32 * 4) * static_cast<uint32_t>(h < 0 ? -h : h);
  Bytes b{'B', 'M'};
  Le32(b, 54 + rows);
  Le32(b, 0);
  Le32(b, 54);
  Le32(b, 40);
  Le32(b, static_cast<uint32_t>(w));
  Le32(b, static_cast<uint32_t>(h));
  Le16(b, 1);
  Le16(b, 24);
  for (int i = 0; i < 6; ++i) Le32(b, 0);
  b.resize(b.size() + (rows < (1u << 20) ? rows : 0), 0x77);
  return b;
}

// Little-endian, one strip of 16 bytes right after the directory.
Bytes Tiff(uint32_t w, uint32_t h) {
  Bytes b{'I', 'I', 42, 0};
  Le32(b, 8);
  Le16(b, 4);
  const auto entry = [&](uint32_t tag, uint32_t type, uint32_t value) {
    Le16(b, tag);
    Le16(b, type);
    Le32(b, 1);
    Le32(b, value);
  };
  entry(256, 4, w);
  entry(257, 4, h);
  entry(273, 4, 8 + 2 + 4 * 12 + 4);
  entry(279, 4, 16);
  Le32(b, 0);
  b.resize(b.size() + 16, 0x11);
  return b;
}

Bytes Webp(uint32_t w, uint32_t h) {
  Bytes b;
  Text(b, "RIFF");
  Le32(b, 4 + 8 + 10 + 8);
  Text(b, "WEBPVP8X");
  Le32(b, 10);
  b.insert(b.end(), {0, 0, 0, 0});
  b.insert(b.end(), {uint8_t(w - 1), uint8_t((w - 1) >> 8), uint8_t((w - 1) >> 16)});
  b.insert(b.end(), {uint8_t(h - 1), uint8_t((h - 1) >> 8), uint8_t((h - 1) >> 16)});
  b.resize(b.size() + 8, 0);
  return b;
}

struct Case {
  const char* name;
  Bytes bytes;
  PictureFormat format;
};

std::vector<Case> Pictures(uint32_t w, uint32_t h) {
  return {{"JPEG", Jpeg(w, h), PictureFormat::kJpeg},
          {"PNG", Png(w, h), PictureFormat::kPng},
          {"GIF", Gif(w, h), PictureFormat::kGif},
          {"BMP", Bmp(static_cast<int32_t>(w), static_cast<int32_t>(h)), PictureFormat::kBmp},
          {"TIFF", Tiff(w, h), PictureFormat::kTiff},
          {"WebP", Webp(w, h), PictureFormat::kWebp}};
}

TEST(PictureHeader, WholePicturesOfEveryFormatPassWithTheirSize) {
  for (const Case& c : Pictures(640, 480)) {
    SCOPED_TRACE(c.name);
    PictureHeader header;
    EXPECT_EQ(CheckPictureBeforeDecoding(c.bytes, &header), "");
    EXPECT_EQ(header.format, c.format);
    EXPECT_EQ(header.width, 640);
    EXPECT_EQ(header.height, 480);
    EXPECT_STREQ(FormatName(header.format), c.name);
  }
  // A top-down BMP, and a progressive JPEG's frame.
  EXPECT_EQ(CheckPictureBeforeDecoding(Bmp(4, -3)), "");
  EXPECT_EQ(ReadPictureHeader(Jpeg(8, 8, 0xC2))->jpeg_frame, 0xC2);
}

// Bombs: small files that declare pictures far beyond the budget. The size is refused from the
// header, before anything else is looked at.
TEST(PictureHeader, PicturesBeyondTheBudgetAreRefusedByTheirHeader) {
  for (const Case& c : Pictures(30000, 30000)) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(CheckPictureBeforeDecoding(c.bytes),
              std::string("a ") + c.name +
                  " of 30000 x 30000 pixels, more than the 67,108,864 the player decodes");
  }
  EXPECT_NE(CheckPictureBeforeDecoding(Bmp(30000, -30000)).find("more than"), std::string::npos);
  // The budget itself passes; one row more does not.
  EXPECT_EQ(CheckPictureBeforeDecoding(Png(8192, 8192)), "");
  EXPECT_NE(CheckPictureBeforeDecoding(Png(8192, 8193)), "");
  // A GIF's image reaching past its logical screen counts to its far corner.
  Bytes gif = Gif(10, 10);
  gif[13 + 6 + 8 + 1] = gif[13 + 6 + 8 + 3] = 0xF0;  // left and top 0xFFF0
  gif[13 + 6 + 8 + 2] = gif[13 + 6 + 8 + 4] = 0xFF;
  EXPECT_NE(CheckPictureBeforeDecoding(gif).find("65530 x 65530"), std::string::npos);
}

// Every cut of a whole picture is refused: none is ever decoded half. (A GIF whose first
// picture is whole may lack its trailer.)
TEST(PictureHeader, PicturesCutShortAreRefusedWherever) {
  for (const Case& c : Pictures(64, 48)) {
    SCOPED_TRACE(c.name);
    const size_t whole = c.bytes.size() - (c.format == PictureFormat::kGif ? 1 : 0);
    for (size_t length = 0; length < whole; ++length) {
      const std::span<const uint8_t> cut(c.bytes.data(), length);
      EXPECT_NE(CheckPictureBeforeDecoding(cut), "") << length << " bytes";
    }
  }
  const Bytes jpeg = Jpeg(8, 8);
  EXPECT_EQ(CheckPictureBeforeDecoding(std::span(jpeg).first(jpeg.size() - 2)),
            "the JPEG ends before its end marker: the file is cut short");
}

// A GIF's picture data must make all of its pixels: one that makes fewer, or whose codes are
// damaged, would be shown half (and one such made SDL2_image's decoder free what it had not
// allocated).
TEST(PictureHeader, GifDataThatDoesNotFillThePictureIsRefused) {
  Bytes fewer = Gif(8, 6);
  fewer[13 + 6 + 8 + 7] = 100;  // the image claims 100 rows; the data makes 6
  EXPECT_EQ(CheckPictureBeforeDecoding(fewer), "the GIF's picture data is damaged or ends early");
  Bytes bad_code = Gif(8, 6);
  bad_code[13 + 6 + 8 + 10 + 2] = 0x3F;  // the first code after the clear is 7, not a literal
  EXPECT_NE(CheckPictureBeforeDecoding(bad_code), "");
  // Every pixel a clear code and a literal: 48 MB at 8192 x 8192 that took a decoder minutes.
  EXPECT_EQ(CheckPictureBeforeDecoding(Gif(1024, 1024)), "");
  EXPECT_EQ(CheckPictureBeforeDecoding(Gif(1024, 1025)),
            "a GIF whose data clears its code table more than 1,048,576 times, more than the "
            "player decodes");
  Bytes no_width = Gif(8, 6);
  no_width[13 + 6 + 8 + 5] = 0;
  EXPECT_NE(CheckPictureBeforeDecoding(no_width), "");
}

TEST(PictureHeader, OtherFilesAndDamagedHeadersAreNoPictures) {
  EXPECT_EQ(CheckPictureBeforeDecoding({}), "not a JPEG, PNG, GIF, BMP, TIFF or WebP picture");
  Bytes text;
  Text(text, "RIFF....WAVEfmt ");
  EXPECT_FALSE(ReadPictureHeader(text));
  EXPECT_FALSE(ReadPictureHeader(Png(0, 10)));
  EXPECT_FALSE(ReadPictureHeader(Jpeg(0, 10)));
  EXPECT_FALSE(ReadPictureHeader(Bmp(0, 1)));
  // The header alone is enough to learn the size.
  const Bytes png = Png(800, 600);
  EXPECT_EQ(ReadPictureHeader(std::span(png).first(24))->width, 800);
}

// A progressive JPEG decodes its whole picture once a scan: one of a few megabytes may keep a
// decoder busy for minutes. Too many scans are refused from the structure alone, for any size
// (slidepack prepares pictures beyond the players' budget).
TEST(PictureHeader, JpegsOfTooManyScansAreRefused) {
  for (const int scans : {1, kMaxJpegScans, kMaxJpegScans + 1, 10000}) {
    SCOPED_TRACE(scans);
    const Bytes jpeg = Jpeg(64, 48, 0xC2, scans);
    const std::string expected = scans > kMaxJpegScans ? TooManyJpegScans() : "";
    EXPECT_EQ(CheckPictureBeforeDecoding(jpeg), expected);
    EXPECT_EQ(CheckJpegScans(jpeg), expected);
    EXPECT_EQ(CheckJpegScans(Jpeg(30000, 30000, 0xC2, scans)), expected);
  }
  EXPECT_EQ(TooManyJpegScans(), "a JPEG of more than 500 scans, more than the player decodes");
}

// A progressive JPEG's decoder, or one whose scans each hold fewer components than the frame,
// keeps the whole picture's coefficients beside the bitmap: 2 bytes a sample. Those of
// 8192 x 8192 in grey fit the budget, in colour at full resolution not.
TEST(PictureHeader, ProgressiveJpegsWhoseCoefficientsExceedTheBudgetAreRefused) {
  struct Case {
    uint8_t frame, components;
    int64_t coefficient_bytes;
  } cases[] = {{0xC0, 1, 0},
               {0xC2, 1, int64_t{128} << 20},
               {0xC0, 3, int64_t{384} << 20},  // the scan holds one component of three
               {0xC2, 3, int64_t{384} << 20}};
  for (const Case& c : cases) {
    PictureHeader header;
    const std::string problem =
        CheckPictureBeforeDecoding(Jpeg(8192, 8192, c.frame, 1, c.components), &header);
    if (c.coefficient_bytes > kMaxJpegDecoderBytes) {
      EXPECT_EQ(problem,
                "a progressive JPEG that needs 384 MiB to decode beside its picture, more than "
                "the 256 MiB the player gives it");
    } else {
      EXPECT_EQ(problem, "");
      EXPECT_EQ(header.jpeg_decoder_bytes, c.coefficient_bytes);
    }
  }
  EXPECT_EQ(CheckJpegScans(Png(64, 48)), "");
}

// A file read a piece at a time; counts what is read.
class CountingFile : public ByteSource {
 public:
  explicit CountingFile(const Bytes& bytes) : bytes_(bytes) {}
  uint64_t Size() const override { return bytes_.size(); }
  void ReadAt(uint64_t offset, std::span<uint8_t> out) const override {
    MemorySource(bytes_).ReadAt(offset, out);
    read += out.size();
  }
  mutable uint64_t read = 0;

 private:
  const Bytes& bytes_;
};

// Whatever follows a picture in its file is never read: the check stops at the picture's end
// and tells the decoder where that is.
TEST(PictureHeader, TheCheckReadsAFileUpToThePicturesEndOnly) {
  for (const Case& c : Pictures(64, 48)) {
    SCOPED_TRACE(c.name);
    Bytes padded = c.bytes;
    padded.resize(padded.size() + (8 << 20), 0xAA);
    const CountingFile file(padded);
    PictureHeader header;
    EXPECT_EQ(CheckPictureBeforeDecoding(file, &header), "");
    EXPECT_EQ(header.extent, c.bytes.size() - (c.format == PictureFormat::kGif ? 1 : 0));
    EXPECT_LE(file.read, 2 * (64 << 10)) << "bytes read";
  }
  // A JPEG of many scans is read in pieces too, and the same at any piece boundary.
  const Bytes jpeg = Jpeg(64, 48, 0xC2, 400);
  PictureHeader header;
  EXPECT_EQ(CheckPictureBeforeDecoding(CountingFile(jpeg), &header), "");
  EXPECT_EQ(header.extent, jpeg.size());
}

}  // namespace
}  // namespace slidesaver::media

#include "media/picture_header.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace slidesaver::media {
namespace {

// Bounds-checked reads: every one first checks that its bytes lie inside the source. A file is
// read through two windows (a TIFF's strip offsets and sizes are read by turns).
class Bytes {
 public:
  explicit Bytes(const ByteSource& source)
      : source_(source), size_(source.Size()), memory_(source.Memory()) {}
  uint64_t size() const { return size_; }
  bool Has(uint64_t at, uint64_t n) const { return at <= size_ && n <= size_ - at; }
  bool StartsWith(const char* magic, uint64_t at = 0) const {
    const size_t n = std::strlen(magic);
    if (!Has(at, n)) return false;
    for (size_t i = 0; i < n; ++i) {
      if (U8(at + i) != static_cast<uint8_t>(magic[i])) return false;
    }
    return true;
  }
  uint8_t U8(uint64_t at) const { return memory_ ? memory_[at] : *Piece(at).data(); }
  // The position of the next byte `value` from `at`, or size() when there is none.
  uint64_t Find(uint8_t value, uint64_t at) const {
    while (at < size_) {
      const std::span<const uint8_t> piece =
          memory_ ? std::span<const uint8_t>(memory_ + at, size_ - at) : Piece(at);
      if (const void* found = std::memchr(piece.data(), value, piece.size()))
        return at + static_cast<uint64_t>(static_cast<const uint8_t*>(found) - piece.data());
      at += piece.size();
    }
    return size_;
  }
  uint32_t Be16(uint64_t at) const { return uint32_t{U8(at)} << 8 | U8(at + 1); }
  uint32_t Le16(uint64_t at) const { return U8(at) | uint32_t{U8(at + 1)} << 8; }
  uint32_t Be32(uint64_t at) const { return Be16(at) << 16 | Be16(at + 2); }
  uint32_t Le32(uint64_t at) const { return Le16(at) | Le16(at + 2) << 16; }
  uint32_t Le24(uint64_t at) const { return Le16(at) | uint32_t{U8(at + 2)} << 16; }

 private:
  static constexpr uint64_t kWindowBytes = 64 << 10;
  struct Window {
    uint64_t at = 0;
    std::vector<uint8_t> bytes;
    bool Holds(uint64_t offset) const { return offset - at < bytes.size(); }
  };

  // The bytes of a file from `at` (< size()) to the end of the window that holds them.
  std::span<const uint8_t> Piece(uint64_t at) const {
    if (!windows_[0].Holds(at)) {
      std::swap(windows_[0], windows_[1]);
      if (!windows_[0].Holds(at)) {
        std::vector<uint8_t> bytes(static_cast<size_t>(std::min(kWindowBytes, size_ - at)));
        source_.ReadAt(at, bytes);
        windows_[0] = {at, std::move(bytes)};
      }
    }
    return std::span<const uint8_t>(windows_[0].bytes).subspan(at - windows_[0].at);
  }

  const ByteSource& source_;
  uint64_t size_;
  const uint8_t* memory_;
  mutable Window windows_[2];  // the latest first
};

bool IsJpeg(const Bytes& b) {
  return b.Has(0, 3) && b.U8(0) == 0xFF && b.U8(1) == 0xD8 && b.U8(2) == 0xFF;
}

bool IsJpegFrameHeader(uint8_t marker) {
  return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// The bytes a decoder keeps for the coefficients of the whole picture (128 for each block of
// each component) when one scan does not hold them all: a progressive frame, or a first scan
// of fewer components than the frame's. 0 when the picture is decoded as it is read.
int64_t JpegCoefficientBytes(const Bytes& b, uint64_t frame_at, uint32_t first_scan_components) {
  const uint32_t components = b.U8(frame_at + 9);
  const uint8_t marker = b.U8(frame_at + 1);
  const bool progressive = marker == 0xC2 || marker == 0xC6 || marker == 0xCA || marker == 0xCE;
  if ((!progressive && first_scan_components >= components) || components == 0 ||
      !b.Has(frame_at + 10, 3 * uint64_t{components}))
    return 0;
  const int64_t height = b.Be16(frame_at + 5), width = b.Be16(frame_at + 7);
  uint32_t h_max = 1, v_max = 1;
  for (uint32_t i = 0; i < components; ++i) {
    const uint8_t sampling = b.U8(frame_at + 10 + 3 * i + 1);
    h_max = std::max<uint32_t>(h_max, sampling >> 4);
    v_max = std::max<uint32_t>(v_max, sampling & 15);
  }
  int64_t bytes = 0;
  for (uint32_t i = 0; i < components; ++i) {
    const uint8_t sampling = b.U8(frame_at + 10 + 3 * i + 1);
    const int64_t h = std::max(1, sampling >> 4), v = std::max(1, sampling & 15);
    // Blocks across and down, each rounded up to whole groups of the component's sampling.
    const int64_t across = ((width * h + 8 * h_max - 1) / (8 * h_max) + h - 1) / h * h;
    const int64_t down = ((height * v + 8 * v_max - 1) / (8 * v_max) + v - 1) / v * v;
    bytes += across * down * 128;
  }
  return bytes;
}

// Walks a JPEG's segments, and with `to_end` its entropy-coded data as well, up to the end
// marker. `problem` says why the walk stopped short.
std::optional<PictureHeader> WalkJpeg(const Bytes& b, bool to_end, std::string* problem) {
  PictureHeader header{PictureFormat::kJpeg};
  int scans = 0;
  uint64_t frame_at = 0;
  uint64_t at = 2;
  for (;;) {
    if (!b.Has(at, 2)) {
      if (problem) *problem = "the JPEG ends before its end marker: the file is cut short";
      return header.width > 0 && !to_end ? std::optional(header) : std::nullopt;
    }
    if (b.U8(at) != 0xFF) {
      if (problem) *problem = "the JPEG's segments are damaged";
      return std::nullopt;
    }
    const uint8_t marker = b.U8(at + 1);
    if (marker == 0xFF) {  // fill byte
      ++at;
      continue;
    }
    if (marker == 0xD9) {
      if (header.width == 0 || scans == 0) {
        if (problem) *problem = "the JPEG ends before any picture data";
        return std::nullopt;
      }
      header.extent = at + 2;
      return header;
    }
    if ((marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) {  // no length
      at += 2;
      continue;
    }
    // The size is read from the frame header's first bytes, the rest of it needs not be there.
    if (IsJpegFrameHeader(marker) && header.width == 0 && b.Has(at + 2, 7)) {
      if (b.Be16(at + 2) < 8) break;
      header.height = b.Be16(at + 5);
      header.width = b.Be16(at + 7);
      header.jpeg_frame = marker;
      if (header.width == 0 || header.height == 0) break;
      if (!to_end) return header;
    }
    if (marker == 0xD8 || !b.Has(at + 2, 2) || b.Be16(at + 2) < 2 ||
        !b.Has(at + 2, b.Be16(at + 2))) {
      if (problem) *problem = "the JPEG ends inside a segment: the file is cut short";
      return std::nullopt;
    }
    const uint64_t length = b.Be16(at + 2);
    if (IsJpegFrameHeader(marker) && scans == 0) frame_at = at;
    if (marker == 0xDA && scans == 0 && frame_at != 0 && b.Has(at + 4, 1))
      header.jpeg_decoder_bytes = JpegCoefficientBytes(b, frame_at, b.U8(at + 4));
    at += 2 + length;
    if (marker == 0xDA) {
      if (header.width == 0) break;  // picture data before the frame header
      if (++scans > kMaxJpegScans) {
        if (problem) *problem = TooManyJpegScans();
        return std::nullopt;
      }
      // The entropy-coded data ends at the first marker that is neither a stuffed 0xFF 0x00
      // nor a restart marker.
      for (at = b.Find(0xFF, at); b.Has(at, 2); at = b.Find(0xFF, at + 1)) {
        const uint8_t next = b.U8(at + 1);
        if (next != 0x00 && !(next >= 0xD0 && next <= 0xD7)) break;
      }
    }
  }
  if (problem) *problem = "the JPEG's frame header is damaged";
  return std::nullopt;
}

std::optional<PictureHeader> WalkPng(const Bytes& b, bool to_end, std::string* problem) {
  // The signature, then IHDR, which is always first.
  if (!b.Has(8, 16) || b.Be32(8) != 13 || !b.StartsWith("IHDR", 12)) {
    if (problem) *problem = "the PNG's header is damaged";
    return std::nullopt;
  }
  PictureHeader header{PictureFormat::kPng, b.Be32(16), b.Be32(20)};
  if (header.width == 0 || header.height == 0 || header.width > INT32_MAX ||
      header.height > INT32_MAX) {
    if (problem) *problem = "the PNG's header is damaged";
    return std::nullopt;
  }
  if (!to_end) return header;
  bool data_seen = false;
  for (uint64_t at = 8; b.Has(at, 12);) {
    const uint64_t length = b.Be32(at);
    if (!b.Has(at + 12, length)) break;
    if (b.StartsWith("IDAT", at + 4)) data_seen = true;
    if (b.StartsWith("IEND", at + 4)) {
      if (!data_seen) break;
      header.extent = at + 12 + length;
      return header;
    }
    at += 12 + length;
  }
  if (problem) *problem = "the PNG ends before its last chunk: the file is cut short";
  return std::nullopt;
}

// The sub-blocks of a GIF's image data or extension, up to their terminator; 0 when they
// run past the end.
uint64_t SkipGifSubBlocks(const Bytes& b, uint64_t at) {
  while (b.Has(at, 1)) {
    const uint8_t n = b.U8(at);
    if (n == 0) return at + 1;
    at += 1 + n;
  }
  return 0;
}

// The number of pixels the LZW data of a GIF image (its sub-blocks from `at`) decodes to, up
// to `wanted`; -1 when the codes are damaged, kTooManyGifClears when they clear the table more
// than kMaxGifClearCodes times. Only the lengths of the table's strings are kept.
constexpr int64_t kTooManyGifClears = -2;
int64_t GifPixels(const Bytes& b, uint64_t at, int min_code_size, int64_t wanted) {
  if (min_code_size < 2 || min_code_size > 8) return -1;
  int64_t clears = 0;
  const uint32_t clear = 1u << min_code_size, end = clear + 1;
  std::vector<uint16_t> length(4096, 1);
  uint32_t next = clear + 2, code_size = min_code_size + 1;
  int64_t pixels = 0;
  int64_t previous = -1;
  uint32_t bits = 0, held = 0;
  uint64_t block_end = at;
  while (pixels < wanted) {
    while (held < code_size) {  // the next byte, across the sub-blocks
      if (at == block_end) {
        if (!b.Has(at, 1) || b.U8(at) == 0) return pixels;
        block_end = at + 1 + b.U8(at);
        ++at;
        if (!b.Has(at, block_end - at)) return pixels;
      }
      bits |= uint32_t{b.U8(at++)} << held;
      held += 8;
    }
    const uint32_t code = bits & ((1u << code_size) - 1);
    bits >>= code_size;
    held -= code_size;
    if (code == clear) {
      if (++clears > kMaxGifClearCodes) return kTooManyGifClears;
      next = clear + 2;
      code_size = min_code_size + 1;
      previous = -1;
      continue;
    }
    if (code == end) return pixels;
    if (previous < 0) {
      if (code >= clear) return -1;
      pixels += 1;
    } else {
      if (code > next || (code == next && next >= 4096)) return -1;
      const uint32_t string = code < next ? length[code] : length[previous] + 1u;
      pixels += string;
      if (next < 4096) {
        length[next++] = static_cast<uint16_t>(length[previous] + 1);
        if (next == (1u << code_size) && code_size < 12) ++code_size;
      }
    }
    previous = code;
  }
  return pixels;
}

std::optional<PictureHeader> WalkGif(const Bytes& b, bool to_end, std::string* problem) {
  if (!b.Has(0, 13)) {
    if (problem) *problem = "the GIF's header is damaged";
    return std::nullopt;
  }
  PictureHeader header{PictureFormat::kGif, b.Le16(6), b.Le16(8)};
  uint64_t at = 13;
  if (b.U8(10) & 0x80) at += 3u << ((b.U8(10) & 0x07) + 1);
  // Every image the decoder may make a picture of counts, up to the first one's end.
  while (b.Has(at, 1)) {
    const uint8_t kind = b.U8(at);
    if (kind == 0x21 && b.Has(at, 2)) {  // an extension
      at = SkipGifSubBlocks(b, at + 2);
      if (at == 0) break;
    } else if (kind == 0x2C && b.Has(at, 10)) {  // an image
      // A decoder may lay the image on a canvas that reaches to its far corner.
      const int64_t left = b.Le16(at + 1), top = b.Le16(at + 3);
      const int64_t width = b.Le16(at + 5), height = b.Le16(at + 7);
      if (width == 0 || height == 0) break;
      header.width = std::max(header.width, left + width);
      header.height = std::max(header.height, top + height);
      const uint8_t flags = b.U8(at + 9);
      at += 10;
      if (flags & 0x80) at += 3u << ((flags & 0x07) + 1);
      if (!to_end) return header;
      header.extent = b.Has(at, 1) ? SkipGifSubBlocks(b, at + 1) : 0;
      if (header.extent == 0) break;
      // The data must make every pixel of the image: a decoder fills what is missing with
      // something, and some fail on it.
      const int64_t pixels = GifPixels(b, at + 1, b.U8(at), width * height);
      if (pixels == kTooManyGifClears) {
        if (problem) {
          *problem = "a GIF whose data clears its code table more than " +
                     WithThousands(kMaxGifClearCodes) + " times, more than the player decodes";
        }
        return std::nullopt;
      }
      if (pixels < width * height) {
        if (problem) *problem = "the GIF's picture data is damaged or ends early";
        return std::nullopt;
      }
      return header;
    } else {
      break;
    }
  }
  if (problem) *problem = "the GIF ends before its first picture does: the file is cut short";
  return std::nullopt;
}

std::optional<PictureHeader> WalkBmp(const Bytes& b, bool to_end, std::string* problem) {
  if (!b.Has(0, 26)) {
    if (problem) *problem = "the BMP's header is damaged";
    return std::nullopt;
  }
  const uint64_t pixels_at = b.Le32(10);
  const uint32_t info_size = b.Le32(14);
  int64_t width = 0, height = 0;
  uint32_t bits = 0, compression = 0;
  if (info_size == 12 && b.Has(14, 12)) {  // OS/2 BITMAPCOREHEADER
    width = b.Le16(18);
    height = b.Le16(20);
    bits = b.Le16(24);
  } else if (info_size >= 40 && b.Has(14, 40)) {
    width = static_cast<int32_t>(b.Le32(18));
    height = static_cast<int32_t>(b.Le32(22));
    if (height < 0) height = -height;  // top-down rows
    bits = b.Le16(28);
    compression = b.Le32(30);
  }
  if (width <= 0 || height <= 0 || height > INT32_MAX) {
    if (problem) *problem = "the BMP's header is damaged";
    return std::nullopt;
  }
  PictureHeader header{PictureFormat::kBmp, width, height};
  const bool plain_rows = compression == 0 || compression == 3 || compression == 6;
  header.extent = b.size();  // run-length coded rows end where their codes say
  if (to_end && plain_rows) {
    const uint64_t row_bytes = (static_cast<uint64_t>(width) * bits + 31) / 32 * 4;
    if (!b.Has(pixels_at, row_bytes * static_cast<uint64_t>(height))) {
      if (problem) *problem = "the BMP ends before its last row: the file is cut short";
      return std::nullopt;
    }
    header.extent = pixels_at + row_bytes * static_cast<uint64_t>(height);
  }
  return header;
}

// The bytes of one value of a TIFF field's type (BYTE, ASCII, SHORT, LONG, RATIONAL, ...).
uint64_t TiffTypeBytes(uint32_t type) {
  switch (type) {
    case 3:
    case 8:
      return 2;
    case 5:
    case 10:
    case 12:
      return 8;
    case 4:
    case 9:
    case 11:
    case 13:
      return 4;
    default:
      return 1;
  }
}

// A TIFF's first image: its size, and with `to_end` whether all its strips or tiles lie in
// the file.
std::optional<PictureHeader> WalkTiff(const Bytes& b, bool to_end, std::string* problem) {
  const bool little = b.StartsWith("II");
  const auto u16 = [&](uint64_t at) { return little ? b.Le16(at) : b.Be16(at); };
  const auto u32 = [&](uint64_t at) { return little ? b.Le32(at) : b.Be32(at); };
  const auto damaged = [&]() -> std::optional<PictureHeader> {
    if (problem) *problem = "the TIFF's directory is damaged, or the file is cut short";
    return std::nullopt;
  };
  if (!b.Has(0, 8)) return damaged();
  const uint64_t directory = u32(4);
  if (!b.Has(directory, 2)) return damaged();
  const uint32_t entries = u16(directory);
  if (!b.Has(directory + 2, uint64_t{entries} * 12)) return damaged();
  PictureHeader header{PictureFormat::kTiff};
  // The offsets and byte counts of the strips (or tiles): where their values are, how many.
  struct Values {
    uint32_t type = 0, count = 0;
    uint64_t at = 0;
  } offsets, sizes;
  // The directory, and every value it keeps outside itself, lie within the extent.
  header.extent = directory + 2 + uint64_t{entries} * 12 + 4;
  for (uint32_t i = 0; i < entries; ++i) {
    const uint64_t entry = directory + 2 + uint64_t{i} * 12;
    const uint32_t tag = u16(entry), type = u16(entry + 2), count = u32(entry + 4);
    const uint32_t value = type == 3 ? u16(entry + 8) : u32(entry + 8);
    const uint64_t value_bytes = uint64_t{count} * TiffTypeBytes(type);
    const Values values{type, count, value_bytes <= 4 ? entry + 8 : u32(entry + 8)};
    if (value_bytes > 4) header.extent = std::max(header.extent, values.at + value_bytes);
    if (tag == 256) header.width = value;
    if (tag == 257) header.height = value;
    if (tag == 273 || tag == 324) offsets = values;
    if (tag == 279 || tag == 325) sizes = values;
  }
  if (header.width == 0 || header.height == 0) return damaged();
  if (!to_end) return header;
  if (offsets.count == 0 || offsets.count != sizes.count) return damaged();
  const auto value = [&](const Values& v, uint32_t i) -> std::optional<uint64_t> {
    const uint64_t width = v.type == 3 ? 2 : 4;
    if (!b.Has(v.at + i * width, width)) return std::nullopt;
    return v.type == 3 ? u16(v.at + i * width) : u32(v.at + i * width);
  };
  for (uint32_t i = 0; i < offsets.count; ++i) {
    const auto offset = value(offsets, i), size = value(sizes, i);
    if (!offset || !size || !b.Has(*offset, *size)) return damaged();
    header.extent = std::max(header.extent, *offset + *size);
  }
  if (!b.Has(0, header.extent)) return damaged();
  return header;
}

std::optional<PictureHeader> WalkWebp(const Bytes& b, bool to_end, std::string* problem) {
  const auto damaged = [&]() -> std::optional<PictureHeader> {
    if (problem) *problem = "the WebP's header is damaged, or the file is cut short";
    return std::nullopt;
  };
  if (!b.Has(12, 18)) return damaged();
  if (to_end && !b.Has(0, uint64_t{b.Le32(4)} + 8)) return damaged();
  PictureHeader header{PictureFormat::kWebp};
  header.extent = uint64_t{b.Le32(4)} + 8;
  if (b.StartsWith("VP8X", 12)) {
    header.width = int64_t{b.Le24(24)} + 1;
    header.height = int64_t{b.Le24(27)} + 1;
  } else if (b.StartsWith("VP8L", 12) && b.U8(20) == 0x2F) {
    const uint32_t bits = b.Le32(21);
    header.width = int64_t{bits & 0x3FFF} + 1;
    header.height = int64_t{(bits >> 14) & 0x3FFF} + 1;
  } else if (b.StartsWith("VP8 ", 12) && b.U8(23) == 0x9D && b.U8(24) == 0x01 && b.U8(25) == 0x2A) {
    header.width = b.Le16(26) & 0x3FFF;
    header.height = b.Le16(28) & 0x3FFF;
  }
  if (header.width == 0 || header.height == 0) return damaged();
  return header;
}

std::optional<PictureFormat> SignatureOf(const Bytes& b) {
  if (IsJpeg(b)) return PictureFormat::kJpeg;
  if (b.StartsWith("\x89PNG\r\n\x1a\n")) return PictureFormat::kPng;
  if (b.StartsWith("GIF87a") || b.StartsWith("GIF89a")) return PictureFormat::kGif;
  if (b.StartsWith("BM")) return PictureFormat::kBmp;
  if (b.Has(0, 4) && ((b.StartsWith("II") && b.U8(2) == 42 && b.U8(3) == 0) ||
                      (b.StartsWith("MM") && b.U8(2) == 0 && b.U8(3) == 42)))
    return PictureFormat::kTiff;
  if (b.StartsWith("RIFF") && b.StartsWith("WEBP", 8)) return PictureFormat::kWebp;
  return std::nullopt;
}

std::optional<PictureHeader> Walk(const Bytes& b, bool to_end, std::string* problem) {
  switch (SignatureOf(b).value_or(PictureFormat::kHeif)) {
    case PictureFormat::kJpeg:
      return WalkJpeg(b, to_end, problem);
    case PictureFormat::kPng:
      return WalkPng(b, to_end, problem);
    case PictureFormat::kGif:
      return WalkGif(b, to_end, problem);
    case PictureFormat::kBmp:
      return WalkBmp(b, to_end, problem);
    case PictureFormat::kTiff:
      return WalkTiff(b, to_end, problem);
    case PictureFormat::kWebp:
      return WalkWebp(b, to_end, problem);
    case PictureFormat::kHeif:
      break;
  }
  if (problem) *problem = "not a JPEG, PNG, GIF, BMP, TIFF or WebP picture";
  return std::nullopt;
}

std::string CheckWhole(const Bytes& b, PictureHeader* header) {
  std::string problem;
  const std::optional<PictureHeader> read = Walk(b, false, &problem);
  if (!read) return problem;
  if (header) *header = *read;
  if (read->width > kMaxDecodedPicturePixels / read->height) {
    return std::string("a ") + FormatName(read->format) + " of " + std::to_string(read->width) +
           " x " + std::to_string(read->height) + " pixels, more than the " +
           WithThousands(kMaxDecodedPicturePixels) + " the player decodes";
  }
  const std::optional<PictureHeader> whole = Walk(b, true, &problem);
  if (!whole) return problem;
  if (whole->jpeg_decoder_bytes > kMaxJpegDecoderBytes) {
    return "a progressive JPEG that needs " + std::to_string(whole->jpeg_decoder_bytes >> 20) +
           " MiB to decode beside its picture, more than the " +
           std::to_string(kMaxJpegDecoderBytes >> 20) + " MiB the player gives it";
  }
  if (header) *header = *whole;
  return {};
}

}  // namespace

std::optional<PictureFormat> PlayersFormatOf(std::span<const uint8_t> bytes) {
  return SignatureOf(Bytes(MemorySource(bytes)));
}

std::optional<PictureHeader> ReadPictureHeader(std::span<const uint8_t> bytes) {
  return Walk(Bytes(MemorySource(bytes)), false, nullptr);
}

std::string CheckPictureBeforeDecoding(std::span<const uint8_t> bytes, PictureHeader* header) {
  return CheckPictureBeforeDecoding(MemorySource(bytes), header);
}

std::string TooManyJpegScans() {
  return "a JPEG of more than " + std::to_string(kMaxJpegScans) +
         " scans, more than the player decodes";
}

std::string CheckJpegScans(std::span<const uint8_t> bytes) {
  const MemorySource source(bytes);
  const Bytes b(source);
  std::string problem;
  if (!IsJpeg(b) || WalkJpeg(b, true, &problem) || problem != TooManyJpegScans()) return {};
  return problem;
}

std::string CheckPictureBeforeDecoding(const ByteSource& source, PictureHeader* header) {
  try {
    return CheckWhole(Bytes(source), header);
  } catch (const ReadError& error) {
    return std::string("the file cannot be read: ") + error.what();
  }
}

}  // namespace slidesaver::media

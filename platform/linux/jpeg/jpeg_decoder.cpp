#include "platform/linux/jpeg/jpeg_decoder.h"

// clang-format off: jpeglib.h needs FILE and size_t declared before it.
#include <jerror.h>
#include <jpeglib.h>
#include <cstddef>
#include <cstdio>
// clang-format on

#include <csetjmp>
#include <memory>
#include <vector>

#include "common/run_time_error.h"
#include "media/picture_header.h"

namespace slidesaver::linux_platform {
namespace {

constexpr size_t kReadPieceBytes = size_t{64} << 10;
constexpr JOCTET kEndMarker[] = {0xFF, JPEG_EOI};

// Everything libjpeg's callbacks reach through the decompressor's client_data. libjpeg reports
// a failure by a long jump to `failed`: no C++ object may live in the frames it leaves.
struct Decoder {
  jpeg_decompress_struct info{};
  jpeg_error_mgr errors{};
  jpeg_source_mgr source{};
  jpeg_progress_mgr progress{};
  std::jmp_buf failed{};
  bool created = false;
  bool stopped_for_close = false;
  std::string reason;  // why the decoding failed

  const media::ByteSource* file = nullptr;
  uint64_t at = 0;  // the next byte of the file to read
  uint64_t extent = 0;
  std::vector<JOCTET> piece = std::vector<JOCTET>(kReadPieceBytes);
  const std::function<bool()>* close_requested = nullptr;

  ~Decoder() {
    if (created) jpeg_destroy_decompress(&info);
  }
};

Decoder& DecoderOf(j_common_ptr info) { return *static_cast<Decoder*>(info->client_data); }
Decoder& DecoderOf(j_decompress_ptr info) { return *static_cast<Decoder*>(info->client_data); }

[[noreturn]] void Fail(Decoder& decoder) { std::longjmp(decoder.failed, 1); }

void TakeMessage(j_common_ptr info) {
  char text[JMSG_LENGTH_MAX] = {};
  (*info->err->format_message)(info, text);
  DecoderOf(info).reason = text;
}

extern "C" void OnError(j_common_ptr info) {
  Decoder& decoder = DecoderOf(info);
  if (info->err->msg_code == JERR_NO_BACKING_STORE) {
    decoder.reason = "the JPEG needs more memory to decode than the player gives a picture";
  } else {
    TakeMessage(info);
  }
  Fail(decoder);
}

// A warning tells of corrupt or missing data (a premature end, extraneous bytes, a bad code):
// the picture would be shown in part, so it fails like an error. Only a JFIF version newer
// than the decoder knows is let pass.
extern "C" void OnMessage(j_common_ptr info, int level) {
  if (level >= 0 || info->err->msg_code == JWRN_JFIF_MAJOR) return;
  TakeMessage(info);
  Fail(DecoderOf(info));
}

extern "C" void OnProgress(j_common_ptr info) {
  Decoder& decoder = DecoderOf(info);
  if ((*decoder.close_requested)()) {
    decoder.stopped_for_close = true;
    Fail(decoder);
  }
  const auto* decompress = reinterpret_cast<j_decompress_ptr>(info);
  if (decompress->input_scan_number > media::kMaxJpegScans) {
    decoder.reason = media::TooManyJpegScans();
    Fail(decoder);
  }
}

extern "C" void StartSource(j_decompress_ptr) {}
extern "C" void EndSource(j_decompress_ptr) {}

// The next piece of the file, never past the picture's extent; there the decoder is given an
// end marker and warned, which fails the picture.
extern "C" boolean FillSource(j_decompress_ptr info) {
  Decoder& decoder = DecoderOf(info);
  const uint64_t left = decoder.extent - decoder.at;
  if (left == 0) {
    WARNMS(info, JWRN_JPEG_EOF);
    decoder.source.next_input_byte = kEndMarker;
    decoder.source.bytes_in_buffer = sizeof kEndMarker;
    return TRUE;
  }
  const size_t n = static_cast<size_t>(std::min<uint64_t>(left, decoder.piece.size()));
  bool read = true;
  try {
    decoder.file->ReadAt(decoder.at, std::span(decoder.piece).first(n));
  } catch (const media::ReadError& error) {
    decoder.reason = std::string("the file cannot be read: ") + error.what();
    read = false;
  }
  if (!read) Fail(decoder);
  decoder.at += n;
  decoder.source.next_input_byte = decoder.piece.data();
  decoder.source.bytes_in_buffer = n;
  return TRUE;
}

extern "C" void SkipSource(j_decompress_ptr info, long count) {
  Decoder& decoder = DecoderOf(info);
  if (count <= 0) return;
  const auto n = static_cast<uint64_t>(count);
  if (n <= decoder.source.bytes_in_buffer) {
    decoder.source.next_input_byte += n;
    decoder.source.bytes_in_buffer -= n;
    return;
  }
  decoder.at = std::min(decoder.extent, decoder.at + (n - decoder.source.bytes_in_buffer));
  decoder.source.bytes_in_buffer = 0;
}

// CMYK as libjpeg hands it (inverted by the Adobe writers that mark their files) to 0x00RRGGBB,
// in place.
void CmykToRgb(uint32_t* row, int width, bool inverted) {
  auto* bytes = reinterpret_cast<uint8_t*>(row);
  for (int x = 0; x < width; ++x) {
    uint32_t c = bytes[4 * x], m = bytes[4 * x + 1], y = bytes[4 * x + 2], k = bytes[4 * x + 3];
    if (!inverted) c = 255 - c, m = 255 - m, y = 255 - y, k = 255 - k;
    row[x] = (c * k / 255) << 16 | (m * k / 255) << 8 | (y * k / 255);
  }
}

// The decoding itself, at 1/`scale` of the picture's size (1, 2, 4 or 8); false with the reason
// in `decoder` when libjpeg failed. Only plain values live here: a failure jumps back into this
// frame.
bool Decode(Decoder& decoder, unsigned scale, gdi::Bitmap& bitmap) {
  if (setjmp(decoder.failed) != 0) return false;
  jpeg_decompress_struct& info = decoder.info;
  jpeg_create_decompress(&info);
  decoder.created = true;
  info.client_data = &decoder;
  // The header check bounds the coefficients; the rest is libjpeg's rows and tables.
  info.mem->max_memory_to_use = media::kMaxJpegDecoderBytes + (long{16} << 20);
  info.src = &decoder.source;
  info.progress = &decoder.progress;
  jpeg_read_header(&info, TRUE);
  const bool cmyk = info.num_components == 4;
  info.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRX;
  info.scale_num = 1;
  info.scale_denom = scale;
  jpeg_start_decompress(&info);
  if (int64_t{info.output_width} * info.output_height > media::kMaxDecodedPicturePixels) {
    decoder.reason = "the JPEG's size differs from its header's";
    return false;
  }
  bitmap = gdi::Bitmap::Color(static_cast<int32_t>(info.output_width),
                              static_cast<int32_t>(info.output_height));
  while (info.output_scanline < info.output_height) {
    const auto y = static_cast<int32_t>(info.output_scanline);
    JSAMPROW rows[16];
    const int count = std::min<int>(16, bitmap.Height() - y);
    for (int i = 0; i < count; ++i) rows[i] = reinterpret_cast<JSAMPROW>(bitmap.Row(y + i));
    const auto done = static_cast<int>(jpeg_read_scanlines(&info, rows, count));
    for (int i = 0; i < done; ++i) {
      uint32_t* row = bitmap.Row(y + i);
      if (cmyk) {
        CmykToRgb(row, bitmap.Width(), info.saw_Adobe_marker);
      } else {
        for (int x = 0; x < bitmap.Width(); ++x) row[x] &= 0x00FFFFFFu;
      }
    }
  }
  jpeg_finish_decompress(&info);
  return true;
}

std::unique_ptr<Decoder> NewDecoder(const media::ByteSource& file, uint64_t extent,
                                    const std::function<bool()>* close_requested) {
  static const std::function<bool()> never = [] { return false; };
  auto decoder = std::make_unique<Decoder>();
  decoder->file = &file;
  decoder->extent = std::min(extent, file.Size());
  decoder->close_requested = close_requested && *close_requested ? close_requested : &never;
  decoder->info.err = jpeg_std_error(&decoder->errors);
  decoder->errors.error_exit = OnError;
  decoder->errors.emit_message = OnMessage;
  decoder->info.client_data = decoder.get();
  decoder->source.init_source = StartSource;
  decoder->source.fill_input_buffer = FillSource;
  decoder->source.skip_input_data = SkipSource;
  decoder->source.resync_to_restart = jpeg_resync_to_restart;
  decoder->source.term_source = EndSource;
  decoder->progress.progress_monitor = OnProgress;
  return decoder;
}

}  // namespace

gdi::Bitmap DecodeJpeg(const media::ByteSource& file, uint64_t extent, const std::string& name,
                       const std::function<bool()>& close_requested) {
  const std::unique_ptr<Decoder> decoder = NewDecoder(file, extent, &close_requested);
  gdi::Bitmap bitmap;
  if (Decode(*decoder, 1, bitmap)) return bitmap;
  if (decoder->stopped_for_close) throw ProcessExit{0};
  throw InvalidPictureError(name, decoder->reason);
}

std::string WhyJpegDoesNotDecode(const media::ByteSource& file, uint64_t extent) {
  const std::unique_ptr<Decoder> decoder = NewDecoder(file, extent, nullptr);
  gdi::Bitmap eighth;
  return Decode(*decoder, 8, eighth) ? std::string() : decoder->reason;
}

}  // namespace slidesaver::linux_platform

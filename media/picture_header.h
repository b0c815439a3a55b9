#pragma once
// What the players learn of a picture file before any pixel is decoded: its format and size
// from its header, whether the file holds all of its data, and whether it fits the players'
// memory budget. Both picture loaders check every picture so before they decode it, and
// slidepack checks what it stores against the same budget.
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "media/byte_source.h"
#include "media/memory_bounds.h"
#include "media/picture_format.h"

namespace slidesaver::media {

struct PictureHeader {
  PictureFormat format = PictureFormat::kJpeg;
  // The largest size the decoder makes anything of: for a GIF the larger of its logical screen
  // and its first image, in each direction.
  int64_t width = 0;
  int64_t height = 0;
  int jpeg_frame = 0;  // a JPEG's frame header marker (0xC0 baseline, 0xC2 progressive, ...)
  // Set by CheckPictureBeforeDecoding: the bytes from the file's start that hold the whole
  // picture (a JPEG's end marker, a PNG's IEND, ...); what follows is never read.
  uint64_t extent = 0;
  // Set by CheckPictureBeforeDecoding for a progressive or multi-scan JPEG: the memory its
  // decoder keeps for the whole picture's coefficients.
  int64_t jpeg_decoder_bytes = 0;
};

// The players' format whose signature the first bytes (16 serve) begin with, whether or not
// the header after it is sound; nothing for any other bytes.
std::optional<PictureFormat> PlayersFormatOf(std::span<const uint8_t> bytes);

// The format and size from the first bytes of a picture (its headers: a prefix of the file
// serves); nothing when they are no JPEG, PNG, GIF, BMP, TIFF or WebP header, or are damaged.
std::optional<PictureHeader> ReadPictureHeader(std::span<const uint8_t> bytes);

// Everything the loaders check before decoding the whole file `bytes`: a header that
// ReadPictureHeader reads, a size within kMaxDecodedPicturePixels, and all of the picture's data in
// the file (a JPEG up to its end marker, a PNG up to IEND, a GIF's first image to its end, a
// BMP's rows, a TIFF's strips or tiles, a WebP's RIFF chunk), and a JPEG of at most
// kMaxJpegScans scans whose coefficients fit kMaxJpegDecoderBytes. Empty when the picture may be
// decoded, otherwise why not ("a PNG of 30000 x 30000 pixels, more than ...").
std::string CheckPictureBeforeDecoding(std::span<const uint8_t> bytes,
                                       PictureHeader* header = nullptr);
// "a JPEG of more than 500 scans, more than the player decodes"
std::string TooManyJpegScans();
// For a picture of any size: a JPEG's scans against kMaxJpegScans. Empty when it has no more
// (or is no JPEG), otherwise the refusal.
std::string CheckJpegScans(std::span<const uint8_t> bytes);
// The same on a file read a piece at a time: memory stays small whatever the file's size.
std::string CheckPictureBeforeDecoding(const ByteSource& source, PictureHeader* header = nullptr);

}  // namespace slidesaver::media

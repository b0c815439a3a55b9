#pragma once
// JPEG pictures decoded with libjpeg-turbo straight into the bitmap's rows, the file read a
// piece at a time up to the picture's end. A JPEG's decoding time is not bounded by its size
// alone (a progressive one decodes its whole picture once a scan), so the decoder stops on a
// close request of the process between any two rows of blocks, and counts the scans.
#include <cstdint>
#include <functional>
#include <string>

#include "gdi/bitmap.h"
#include "media/byte_source.h"

namespace slidesaver::linux_platform {

// Decodes the JPEG in the first `extent` bytes of `file`, whose header passed
// media::CheckPictureBeforeDecoding. A picture that does not decode completely is an
// InvalidPictureError naming `name` and why: a decoder warning of corrupt or missing data,
// more than kMaxJpegScans scans, or more working memory than kMaxJpegDecoderBytes. When
// `close_requested` answers true the decoding stops and ProcessExit{0} is thrown.
gdi::Bitmap DecodeJpeg(const media::ByteSource& file, uint64_t extent, const std::string& name,
                       const std::function<bool()>& close_requested);

// "" when the JPEG in the first `extent` bytes of `file` decodes completely as DecodeJpeg
// decodes it, else why not. Every byte of its picture data is read and checked, but the
// picture is made at an eighth of its size and dropped: for a caller that only asks.
std::string WhyJpegDoesNotDecode(const media::ByteSource& file, uint64_t extent);

}  // namespace slidesaver::linux_platform

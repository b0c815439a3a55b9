#pragma once
// Writing a Package byte for byte in the layout the player reads: little-endian integers,
// strings as a 16-bit byte count and their bytes, arrays as one dimension (count, lower bound 0)
// and their elements, PackageSize last.
#include <cstdint>
#include <functional>
#include <span>
#include <stdexcept>
#include <vector>

#include "package/package.h"

namespace slidesaver {

// A header that can't be written: a string longer than 65,535 bytes, more than kMaxSlides
// slides, or a Package that would not fit the 32-bit PackageSize.
class PackageWriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The length of the Package `header` makes, PackageSize included (header.PackageSize is ignored).
// Throws PackageWriteError.
uint64_t PackageByteCount(const PackageHeader& header);

// Serialises `header` with PackageSize set to the Package's real length (header.PackageSize is
// ignored). SlideCount is written as given; the Slides array holds header.Slides.
// Throws PackageWriteError before anything is produced.
std::vector<uint8_t> WritePackage(const PackageHeader& header);

// The same bytes handed to `sink` in pieces, so that a Package can be streamed to a file: byte
// arrays in memory are handed over as they are, those in a file are read a piece at a time.
// A byte array that can't be read throws media::ReadError.
void WritePackage(const PackageHeader& header,
                  const std::function<void(std::span<const uint8_t>)>& sink);

}  // namespace slidesaver

#pragma once
// Reading the Package appended to the program's file.
//
// The Package is found through the file's last 4 bytes (PackageSize) and parsed field by field
// from the offset length - PackageSize. Every count and length is checked against the bytes that
// remain before anything is taken: the parse stops at the first one that does not fit, and every
// field not read keeps its initial value (numbers 0, strings empty, arrays empty). Nothing is read
// past the end of the data and no array is made larger than the bytes that remain.
//
// A lying Package can leave SlideCount different from Slides.size(): whoever walks the slides
// bounds the index by both.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "package/package.h"
#include "platform/file_system.h"

namespace slidesaver {

struct PackageReadResult {
  bool complete = false;        // every field up to the final PackageSize was read
  std::string problem;          // why the parse stopped early; empty when complete
  uint64_t package_offset = 0;  // where the Package starts in the file (valid once found)
};

// Parses the Package at the end of `file` into `header`, which is first reset to its initial
// values. Only the fields are read: the byte arrays of the result are ranges of `file`, which
// they keep open.
PackageReadResult ReadPackage(std::shared_ptr<const media::ByteSource> file, PackageHeader& header);

// The same for a file in memory. The byte arrays point into `file` and share `owner`, which
// must keep those bytes alive (a null owner means the caller keeps them alive as long as the
// header).
PackageReadResult ReadPackage(std::span<const uint8_t> file, std::shared_ptr<const void> owner,
                              PackageHeader& header);

// Opens the file at `path` and parses its Package; the header's byte arrays keep the file
// open. A file that can't be opened leaves the header at its initial values.
PackageReadResult ReadPackageFile(platform::FileSystem& files, const std::string& path,
                                  PackageHeader& header);

}  // namespace slidesaver

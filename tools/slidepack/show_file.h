#pragma once
// A built show: the player's bytes followed by a Package.
#include <filesystem>

#include "package/package.h"

namespace slidepack {

struct ShowFile {
  slidesaver::Bytes bytes;  // the whole file, read as needed; the header's arrays are ranges of it
  slidesaver::PackageHeader package;
  uint64_t package_offset = 0;
};

// Reads `path`'s Package (its fields only: the stored files are read when they are used). Throws
// SlidepackError naming the file when it can't be read or carries no complete Package.
ShowFile ReadShowFile(const std::filesystem::path& path);

}  // namespace slidepack

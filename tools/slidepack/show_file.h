#pragma once
// A built show: the player's bytes followed by a Package.
#include <filesystem>

#include "package/package.h"

namespace slidepack {

struct ShowFile {
  slidesaver::Bytes bytes;  // the whole file; the header's arrays point into it
  slidesaver::PackageHeader package;
  size_t package_offset = 0;
};

// Reads `path` and its Package. Throws SlidepackError naming the file when it can't be read
// or carries no complete Package.
ShowFile ReadShowFile(const std::filesystem::path& path);

}  // namespace slidepack

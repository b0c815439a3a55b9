#pragma once
// The Package a manifest describes, as `build` appends it to the player: sounds and music read,
// pictures stored or prepared, stored names checked.
#include <filesystem>

#include "package/package.h"
#include "tools/slidepack/manifest.h"
#include "tools/slidepack/slide_pictures.h"

namespace slidepack {

// Prepared pictures are kept in an unnamed temporary file in `spill_folder`. Throws
// SlidepackError naming the manifest line at fault.
slidesaver::PackageHeader LoadPackage(const Manifest& manifest, const BuildOptions& options,
                                      const std::filesystem::path& spill_folder);

}  // namespace slidepack

#pragma once
// The pictures of a show as the build stores them. With fit = "none" a picture is stored byte
// for byte, once it is known to decode completely and to be of a kind the players decode; with
// "contain" or "cover" it is prepared for the show area. All of it runs on every core, one
// picture per core at a time, with a progress line; the outcome never depends on the order in
// which the cores finish.
#include <filesystem>
#include <vector>

#include "package/package.h"
#include "tools/slidepack/manifest.h"

namespace slidepack {

struct BuildOptions {
  bool linux_only = false;   // accept pictures only the Linux player decodes
  double max_upscale = 1.0;  // prepared pictures are never enlarged by more than this
};

struct SlidePicture {
  std::string name;
  slidesaver::Bytes data;
  int32_t x = 0;
  int32_t y = 0;
};

// One per slide, in order. `spill_folder` holds an unnamed temporary file for the prepared
// pictures. Throws SlidepackError naming the manifest line of the first slide (in show order)
// whose picture fails.
std::vector<SlidePicture> LoadSlidePictures(const Manifest& manifest, const BuildOptions& options,
                                            const std::filesystem::path& spill_folder);

}  // namespace slidepack

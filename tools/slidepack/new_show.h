#pragma once
// `slidepack new`: a manifest a person can read and edit, one slide per picture.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "slides/effect_plan.h"
#include "slides/picture_list.h"
#include "tools/slidepack/manifest.h"

namespace slidepack {

using slidesaver::EffectPlan;
using slidesaver::FoundPicture;
using slidesaver::PictureOrder;

struct NewShowOptions {
  std::vector<std::filesystem::path> inputs;
  std::filesystem::path output;  // the manifest to write
  int32_t width = 1920;
  int32_t height = 1080;
  std::string size_origin = "as --size asks";  // said in the manifest's comment
  int32_t time = 5000;
  std::string effects = "all";
  uint32_t seed = 1;
  int32_t speed = 0;
  std::optional<std::filesystem::path> music;
  std::string background = "#000000";
  Fit fit = Fit::kContain;
  PictureOrder order = PictureOrder::kName;
  bool overwrite = false;
};

// "1920x1080" -> width, height within 1 to kMaxShowSide. Throws SlidepackError.
void ParseShowSize(const std::string& text, int32_t& width, int32_t& height);

// The show area for this computer when --size is not given: the primary monitor's size on the X
// display, else 1920 x 1080; and what it was taken from.
void SizeForThisScreen(NewShowOptions& options);

// The manifest's text for `pictures`, with paths relative to the manifest's folder.
std::string NewManifestText(const std::vector<FoundPicture>& pictures,
                            const NewShowOptions& options);

// Finds the pictures (walking folders with `services`) and writes the manifest. Throws
// SlidepackError, or std::runtime_error for an input that can't be read.
void NewShow(const NewShowOptions& options, const slidesaver::FolderServices& services);

}  // namespace slidepack

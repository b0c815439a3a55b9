#pragma once
// `slidepack new`: a manifest a person can read and edit, one slide per picture.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "tools/slidepack/manifest.h"
#include "tools/slidepack/picture_list.h"

namespace slidepack {

// Which transition each slide gets: every effect in turn (1 to kMaxEffect), a seeded random choice
// (the same seed gives the same show), or the given numbers in turn.
class EffectPlan {
 public:
  // "all", "random" or "N,M,..." with numbers from 0 to kMaxEffect. Throws SlidepackError.
  static EffectPlan Parse(const std::string& text, uint32_t seed);
  std::vector<int32_t> For(size_t slides) const;

 private:
  enum class Kind { kAll, kRandom, kList } kind_ = Kind::kAll;
  std::vector<int32_t> list_;
  uint32_t seed_ = 0;
};

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

// Finds the pictures and writes the manifest. Throws SlidepackError.
void NewShow(const NewShowOptions& options);

}  // namespace slidepack

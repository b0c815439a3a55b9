#pragma once
// A show as its author writes it: a TOML manifest naming the files of the show.
//
//   width = 800                  # show area in pixels (required)
//   height = 600                 # (required)
//   background = "#102030"       # or an integer stored as it is (0x00BBGGRR); default black
//   settings = true              # offer the settings dialog; default false
//   music = "bgm.mid"            # optional; music_name = stored name, default the file's name
//   fit = "contain"              # how pictures meet the show area (below); default "none"
//   quality = 90                 # JPEG quality of prepared pictures, 1 to 100
//
//   [[slide]]                    # one per slide, in show order
//   picture = "a.jpg"            # required; name = stored name, default the file's name
//   sound = "a.wav"              # optional; sound_name likewise
//   time = 2000                  # display time in ms
//   x = 0                        # picture position in the show area
//   y = 0
//   effect = 0                   # outgoing transition, 0 (a cut) to kMaxEffect
//   speed = 0                    # outgoing transition speed exponent, 0 to 30
//   overlay = false
//   transparent = false
//   fit = "cover"                # and quality: this slide's own choice
//
// fit: "none" stores the picture as it is, at x, y. "contain" (all of it inside the area) and
// "cover" (the area filled, the rest cut off evenly) store a prepared JPEG: upright, in sRGB,
// resized and centred, so x and y are set by the build.
//
// File paths are relative to the manifest. A stored name is a string, or an array of byte
// values for names that are not UTF-8 (names in a Windows code page).
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "photos/picture_options.h"

namespace slidepack {

struct ManifestFile {
  std::filesystem::path path;  // resolved against the manifest's folder
  int line = 0;                // manifest line that names it
};

using slidesaver::photos::Fit;
using slidesaver::photos::FitName;
using slidesaver::photos::kDefaultQuality;
using slidesaver::photos::kMaxEffect;
using slidesaver::photos::kMaxSpeed;
using slidesaver::photos::ParseColour;
using slidesaver::photos::ParseFit;

struct ManifestSlide {
  int line = 0;  // line of the [[slide]] header
  ManifestFile picture;
  std::string picture_name;
  bool named = false;  // picture_name written in the manifest rather than taken from the file
  std::optional<ManifestFile> sound;
  std::string sound_name;
  int32_t time = 2000;
  int32_t x = 0;
  int32_t y = 0;
  int32_t effect = 0;
  int32_t speed = 0;
  int16_t overlay = 0;
  int16_t transparent = 0;
  Fit fit = Fit::kNone;
  int quality = 90;
  bool has_position = false;  // x or y written in the manifest
};

struct Manifest {
  std::filesystem::path path;
  int32_t width = 0;
  int32_t height = 0;
  int32_t background = 0;  // 0x00BBGGRR
  int16_t settings = 0;
  std::optional<ManifestFile> music;
  std::string music_name;
  std::vector<ManifestSlide> slides;
};

// Reads and checks a manifest. Throws SlidepackError naming the manifest line at fault.
Manifest ParseManifest(const std::filesystem::path& path);

// The same from text, for a manifest at `path` (used for messages and relative paths).
Manifest ParseManifestText(const std::string& text, const std::filesystem::path& path);

// Value ranges a working show needs.
inline constexpr int32_t kMaxShowSide = 16384;
inline constexpr size_t kMaxNameBytes = 65535;
// A manifest of 65,535 slides takes a few megabytes; a larger file is no manifest.
inline constexpr size_t kMaxManifestBytes = size_t{64} << 20;
}  // namespace slidepack

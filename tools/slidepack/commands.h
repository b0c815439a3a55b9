#pragma once
// The commands of slidepack. Each throws SlidepackError on failure and leaves no output
// behind.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "tools/slidepack/slide_pictures.h"

namespace slidepack {

// Copies the player unchanged to `output` and appends the Package the manifest describes.
void Build(const std::filesystem::path& manifest, const std::filesystem::path& output,
           const std::filesystem::path& player, const BuildOptions& options = {});

// Prints the Package carried by `file` as a manifest, with the sizes of the stored files.
void Info(const std::filesystem::path& file, std::ostream& out);

// Writes `folder`/show.toml and the stored files; building that manifest gives the same file.
void Unpack(const std::filesystem::path& file, const std::filesystem::path& folder);

struct RenderOptions {
  std::filesystem::path output;  // .mp4, .webm, .gif, or a folder for PNG frames
  int fps = 30;
  int32_t from = 1;               // the first slide rendered, 1 for the first of the show
  std::optional<int64_t> slides;  // how many; else every slide `loops` times
  int32_t loops = 1;
  std::optional<std::string> size;  // "WIDTHxHEIGHT" of the frames; else the show area's
  bool audio = true;
};

// Plays `show` (a show file or a manifest) on a virtual clock and writes what its screen shows
// at each frame time, with its music and sounds.
void Render(const std::filesystem::path& show, const RenderOptions& options);

// A contact sheet of `show`: a PNG with one row per slide.
void Sheet(const std::filesystem::path& show, const std::filesystem::path& output);

}  // namespace slidepack

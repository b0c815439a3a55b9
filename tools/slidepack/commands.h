#pragma once
// The commands of slidepack. Each throws SlidepackError on failure and leaves no output
// behind.
#include <filesystem>
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

}  // namespace slidepack

#pragma once
// A Package written out as a manifest: by `info` with the sizes of the stored files, by
// `unpack` with the files it wrote. Every stored value is written so that building the
// manifest gives the same Package again.
#include <string>
#include <vector>

#include "package/package.h"

namespace slidepack {

// Where `unpack` put the stored files, relative to the manifest; "" where nothing was written.
struct UnpackedFiles {
  std::string music;
  std::vector<std::string> pictures;  // one per slide
  std::vector<std::string> sounds;    // one per slide
};

// `comment` lines (without "# ") open the text.
std::string InfoManifest(const slidesaver::PackageHeader& package,
                         const std::vector<std::string>& comment);
std::string UnpackManifest(const slidesaver::PackageHeader& package, const UnpackedFiles& files,
                           const std::vector<std::string>& comment);

// A TOML value for a stored name: a quoted string, or an array of byte values when the name
// is not UTF-8.
std::string TomlName(const std::string& name);
// A TOML basic string; `text` must be UTF-8.
std::string TomlString(const std::string& text);
bool IsUtf8(const std::string& text);
// "#RRGGBB" for a colour 0x00BBGGRR, the integer itself for any other value.
std::string TomlColour(int32_t colour);

}  // namespace slidepack

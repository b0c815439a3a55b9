#pragma once
// The show a render or a contact sheet is made of: a show file, or a manifest built in memory
// the way `build` builds it.
#include <filesystem>
#include <string>

#include "package/package.h"

namespace slidepack::render {

struct ShowSource {
  std::string name;  // the path as given, for messages
  slidesaver::PackageHeader package;
  slidesaver::Bytes file;  // a show file's bytes, which the Package's arrays point into
};

// A path ending in .toml is a manifest; its prepared pictures are kept in an unnamed
// temporary file in `scratch_folder`. Anything else is a show file. Throws SlidepackError.
ShowSource LoadShowSource(const std::filesystem::path& path,
                          const std::filesystem::path& scratch_folder);

}  // namespace slidepack::render

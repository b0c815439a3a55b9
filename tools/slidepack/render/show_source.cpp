#include "tools/slidepack/render/show_source.h"

#include <algorithm>
#include <cctype>

#include "tools/slidepack/manifest.h"
#include "tools/slidepack/manifest_package.h"
#include "tools/slidepack/show_file.h"

namespace slidepack::render {

ShowSource LoadShowSource(const std::filesystem::path& path,
                          const std::filesystem::path& scratch_folder) {
  ShowSource show;
  show.name = path.string();
  std::string extension = path.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (extension == ".toml") {
    BuildOptions options;
    options.linux_only = true;  // it plays here, with the Linux player's loader
    show.package = LoadPackage(ParseManifest(path), options, scratch_folder);
    return show;
  }
  ShowFile file = ReadShowFile(path);
  show.package = std::move(file.package);
  show.file = std::move(file.bytes);
  return show;
}

}  // namespace slidepack::render

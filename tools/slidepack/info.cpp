#include "tools/slidepack/commands.h"
#include "tools/slidepack/manifest_text.h"
#include "tools/slidepack/show_file.h"

namespace slidepack {

void Info(const std::filesystem::path& file, std::ostream& out) {
  const ShowFile show = ReadShowFile(file);
  const size_t package_bytes = show.bytes.size() - show.package_offset;
  out << InfoManifest(
      show.package,
      {file.string(), "player: " + std::to_string(show.package_offset) +
                          " bytes, Package: " + std::to_string(package_bytes) + " bytes, " +
                          std::to_string(show.package.Slides.size()) + " slides"});
}

}  // namespace slidepack

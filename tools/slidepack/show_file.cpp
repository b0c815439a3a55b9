#include "tools/slidepack/show_file.h"

#include "package/read_package.h"
#include "tools/slidepack/files.h"
#include "tools/slidepack/slidepack_error.h"

namespace slidepack {

ShowFile ReadShowFile(const std::filesystem::path& path) {
  ShowFile show;
  show.bytes = OpenInput(path);
  slidesaver::PackageReadResult result;
  if (show.bytes.empty()) {
    result.problem = "the file is empty";
  } else {
    result = slidesaver::ReadPackage(show.bytes.SharedSource(), show.package);
  }
  if (!result.complete) {
    throw SlidepackError(path.string() + ": no show found at the end of the file (" +
                         result.problem + ")");
  }
  if (show.package.SlideCount < 0 ||
      static_cast<size_t>(show.package.SlideCount) != show.package.Slides.size()) {
    throw SlidepackError(path.string() + ": the show is damaged: SlideCount " +
                         std::to_string(show.package.SlideCount) + " but " +
                         std::to_string(show.package.Slides.size()) + " slides");
  }
  show.package_offset = result.package_offset;
  return show;
}

}  // namespace slidepack

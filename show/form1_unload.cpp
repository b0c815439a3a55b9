// The clean-up when the show form is unloaded: the extracted files and their folder go.
#include <algorithm>

#include "package/extract_files.h"
#include "show/form1.h"

namespace slidesaver {

void Form1::Form_Unload(int16_t& /*cancel*/) {
  platform::FileSystem& files = platform_.files;
  const char separator = platform_.process.PathSeparator();
  auto delete_if_file = [&](const std::string& name) {
    // Only names the extraction could have written; never anything outside TempDir.
    if (!IsSafeFileName(name, separator, &files)) return;
    try {
      const std::string path = TempPath(name);
      if (files.FileExists(path)) files.DeleteFile(path);
    } catch (...) {
    }
  };
  try {
    platform_.window.Hide();
  } catch (...) {
  }
  if (app_.TempDir.empty()) return;  // nothing was extracted

  const auto& slides = app_.Package.Slides;
  const size_t count =
      std::min(slides.size(), static_cast<size_t>(std::max<int32_t>(app_.Package.SlideCount, 0)));
  for (size_t i = 0; i < count; ++i) {
    delete_if_file(slides[i].PictureFileName);
    delete_if_file(slides[i].SoundFileName);
  }
  delete_if_file(app_.Package.BgmFileName);
  try {
    files.RemoveFolder(app_.TempDir);
  } catch (...) {
  }
}

}  // namespace slidesaver

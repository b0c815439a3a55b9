#include "slides/extracted_slides.h"

#include "common/run_time_error.h"

namespace slidesaver {

const SlideEntry& ExtractedSlides::Slide(int32_t index) const {
  const auto& slides = package_.Slides;
  if (index < 0 || static_cast<size_t>(index) >= slides.size()) throw SubscriptOutOfRangeError();
  return slides[static_cast<size_t>(index)];
}

gdi::Bitmap ExtractedSlides::Picture(int32_t index) {
  const std::string& name = Slide(index).PictureFileName;
  const std::optional<std::string> path = extracted_.PathOf(name);
  if (!path) throw FileNotFoundError(extracted_.Folder() + name);
  return pictures_.Load(*path);
}

std::vector<std::string> ExtractedSlides::KnownCauses() const {
  std::vector<std::string> causes;
  const std::vector<WriteFailure>& failures = extracted_.Failures();
  if (!failures.empty()) {
    const WriteFailure& first = failures.front();
    std::string cause = "The show's file " + first.path + " could not be written: " + first.reason;
    if (failures.size() > 1)
      cause += " (and " + std::to_string(failures.size() - 1) + " more files)";
    causes.push_back(cause);
  }
  return causes;
}

}  // namespace slidesaver

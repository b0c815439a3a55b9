#pragma once
// The slides of a Package, with their files in the folder the extraction wrote.
#include "package/extracted_show.h"
#include "platform/picture_loader.h"
#include "slides/slide_source.h"

namespace slidesaver {

class ExtractedSlides : public SlideSource {
 public:
  ExtractedSlides(const PackageHeader& package, const ExtractedShow& extracted,
                  platform::PictureLoader& pictures)
      : package_(package), extracted_(extracted), pictures_(pictures) {}

  const SlideEntry& Slide(int32_t index) const override;
  // A name the extraction refused to write names no file: FileNotFoundError.
  gdi::Bitmap Picture(int32_t index) override;
  std::optional<std::string> PathOf(const std::string& stored_name) const override {
    return extracted_.PathOf(stored_name);
  }
  // The first file that could not be written and why, and how many more.
  std::vector<std::string> KnownCauses() const override;

 private:
  const PackageHeader& package_;
  const ExtractedShow& extracted_;
  platform::PictureLoader& pictures_;
};

}  // namespace slidesaver

#pragma once
// Where the show's slides come from: the Package's files written out by the extraction
// (ExtractedSlides), or, on Linux, a folder of photos. The show asks its source for the entry
// of a slide and its picture, and for the file a stored name names (a sound, the music).
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "gdi/bitmap.h"
#include "package/package.h"

namespace slidesaver {

class SlideSource {
 public:
  virtual ~SlideSource() = default;
  // The entry of the slide at `index` of the Package's list; SubscriptOutOfRangeError outside.
  virtual const SlideEntry& Slide(int32_t index) const = 0;
  // The picture of the slide at `index`, decoded. A source may fill the slide's entry anew
  // here (a folder's next photo), so the entry is read after its picture.
  virtual gdi::Bitmap Picture(int32_t index) = 0;
  // Waits at most `milliseconds` for the picture of `index` to be ready to take; false when it
  // is not yet (a folder's next photo still being prepared). The show keeps answering its input
  // between two waits. The Package's pictures are always ready.
  virtual bool WaitForPicture(int32_t index, int32_t milliseconds) {
    (void)index;
    (void)milliseconds;
    return true;
  }
  // The file of a stored name, when it names one.
  virtual std::optional<std::string> PathOf(const std::string& stored_name) const = 0;
  // What went wrong before the show started that the error box should say.
  virtual std::vector<std::string> KnownCauses() const = 0;
};

// A source that makes its show itself (a folder's pictures): the show area, its background, the
// music and the slides the source fills.
class ShowSource : public SlideSource {
 public:
  virtual const PackageHeader& Show() const = 0;
};

}  // namespace slidesaver

#include "photos/vips_preparer.h"

#include "media/memory_bounds.h"
#include "photos/message_picture.h"
#include "photos/photo_error.h"
#include "photos/picture_facts.h"
#include "photos/prepare_picture.h"

namespace slidesaver::photos {

PictureExamination VipsPreparer::Examine(std::span<const uint8_t> bytes) {
  PictureExamination examined;
  try {
    const std::optional<PictureFacts> facts = ReadPictureFacts(bytes);
    examined.picture = facts.has_value();
    if (facts) {
      examined.format = facts->format;
      examined.time_taken = facts->time_taken;
    }
  } catch (const PhotoError& error) {
    examined.picture = true;
    examined.problem = error.what();
  }
  return examined;
}

PreparedSlide VipsPreparer::Prepare(std::span<const uint8_t> bytes, const PictureArea& area,
                                    const std::atomic<bool>& abandon) {
  const std::optional<PictureFacts> facts = ReadPictureFacts(bytes);
  if (!facts) throw PhotoError("is no longer a picture");
  // The players' header check has passed the formats they know; HEIF gets its bound here.
  if (facts->format == media::PictureFormat::kHeif &&
      int64_t{facts->width} * facts->height > media::kMaxDecodedPicturePixels) {
    throw PhotoError("is a HEIF picture of more than " +
                     media::WithThousands(media::kMaxDecodedPicturePixels) + " pixels");
  }
  PrepareSettings settings;
  settings.area_width = area.width;
  settings.area_height = area.height;
  settings.fit = area.fit == AreaFit::kCover ? Fit::kCover : Fit::kContain;
  settings.background = area.background;
  PreparedBitmap prepared = PrepareBitmap(bytes, *facts, settings, abandon);
  return {std::move(prepared.picture), prepared.x, prepared.y};
}

gdi::Bitmap VipsPreparer::Message(const std::string& text, int32_t max_width, int32_t background) {
  return MessagePicture(text, max_width, background);
}

}  // namespace slidesaver::photos

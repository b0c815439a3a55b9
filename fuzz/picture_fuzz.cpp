// libFuzzer target for the picture loaders: the header check both players make, then, for a
// picture it lets through that is no larger than a megapixel, the Linux player's decode.
#include <cstddef>
#include <cstdint>

#include "common/run_time_error.h"
#include "media/picture_header.h"
#include "platform/linux/sdl/sdl_picture_loader.h"

namespace {
constexpr int64_t kFuzzedPixels = int64_t{1} << 20;  // keeps every run short
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace slidesaver;
  const std::span<const uint8_t> bytes(data, size);
  media::PictureHeader header;
  if (!media::CheckPictureBeforeDecoding(bytes, &header).empty()) return 0;
  if (header.width * header.height > kFuzzedPixels) return 0;
  try {
    const gdi::Bitmap picture = linux_platform::DecodeSdlPicture(bytes, "fuzz");
    if (int64_t{picture.Width()} * picture.Height() > media::kMaxDecodedPicturePixels) std::abort();
  } catch (const RunTimeError&) {
    // refused: a clear error is what a damaged picture gets
  }
  return 0;
}

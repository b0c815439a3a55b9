#include "platform/linux/decoded_picture_cache.h"

#include <algorithm>

namespace slidesaver::linux_platform {
namespace {

int64_t BytesOf(const gdi::Bitmap& picture) {
  return int64_t{picture.Width()} * picture.Height() * 4;
}

}  // namespace

const gdi::Bitmap* DecodedPictureCache::Find(const PictureFileKey& key) const {
  for (const Kept& kept : kept_) {
    if (kept.key == key) return &kept.picture;
  }
  return nullptr;
}

void DecodedPictureCache::Keep(const PictureFileKey& key, const gdi::Bitmap& picture) {
  const auto same_path = std::find_if(kept_.begin(), kept_.end(),
                                      [&](const Kept& kept) { return kept.key.path == key.path; });
  if (same_path != kept_.end()) {
    bytes_ -= BytesOf(same_path->picture);
    kept_.erase(same_path);
  }
  const int64_t size = BytesOf(picture);
  if (size > capacity_ - bytes_) return;
  kept_.push_back({key, picture});
  bytes_ += size;
}

}  // namespace slidesaver::linux_platform

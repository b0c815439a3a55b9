#pragma once
// Decoded pictures kept to be shown again, up to a number of bytes. A show comes back to its
// pictures in turn: were the oldest dropped for the newest, none would be left by the time the
// show comes back to it. So the pictures that fit are kept for good, and the others are decoded
// each time they are shown.
#include <cstdint>
#include <string>
#include <vector>

#include "gdi/bitmap.h"

namespace slidesaver::linux_platform {

// A picture file as it was when it was decoded: a file changed since is another key.
struct PictureFileKey {
  std::string path;
  uint64_t device = 0, inode = 0, size = 0;
  int64_t modified_ns = 0;
  bool operator==(const PictureFileKey&) const = default;
};

class DecodedPictureCache {
 public:
  explicit DecodedPictureCache(int64_t capacity_bytes) : capacity_(capacity_bytes) {}
  // The picture decoded from the file as it is now; null when none is kept.
  const gdi::Bitmap* Find(const PictureFileKey& key) const;
  // Keeps a copy when it fits beside the others; one kept for an earlier state of the same
  // path goes first.
  void Keep(const PictureFileKey& key, const gdi::Bitmap& picture);
  int64_t Bytes() const { return bytes_; }

 private:
  struct Kept {
    PictureFileKey key;
    gdi::Bitmap picture;
  };
  int64_t capacity_;
  int64_t bytes_ = 0;
  std::vector<Kept> kept_;
};

}  // namespace slidesaver::linux_platform

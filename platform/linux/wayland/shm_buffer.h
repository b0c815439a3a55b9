#pragma once
// A picture the compositor reads from shared memory (wl_shm, XRGB8888): the same byte order as
// a gdi::Bitmap's Color32 rows. The compositor holds it from the commit that shows it until it
// sends release; until then it must not be written.
#include <wayland-client.h>

#include <cstdint>

#include "gdi/bitmap.h"
#include "gdi/damage.h"
#include "platform/linux/wayland/wayland_owned.h"

namespace slidesaver::linux_platform {

class ShmBuffer {
 public:
  // Black at first (fresh shared memory is zeros). Throws when the memory cannot be had.
  ShmBuffer(wl_shm* shm, int32_t width, int32_t height);
  ~ShmBuffer();
  ShmBuffer(const ShmBuffer&) = delete;
  ShmBuffer& operator=(const ShmBuffer&) = delete;

  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  uint32_t* Row(int32_t y) { return pixels_ + static_cast<size_t>(y) * width_; }
  wl_buffer* Buffer() { return buffer_.get(); }
  bool Busy() const { return busy_; }
  // Called on committing it, with the surface's count of commits: busy until the compositor
  // releases it.
  void MarkBusy(uint64_t commit) {
    busy_ = true;
    commit_ = commit;
  }
  // The count of the commit that last sent it; 0 before any.
  uint64_t Commit() const { return commit_; }

  // What other buffers were given since this one was last brought up to date.
  gdi::Damage& Stale() { return stale_; }

 private:
  int32_t width_;
  int32_t height_;
  size_t size_;
  uint32_t* pixels_ = nullptr;
  WaylandOwned<wl_buffer> buffer_ = NoObject<wl_buffer>();
  bool busy_ = false;
  uint64_t commit_ = 0;
  gdi::Damage stale_;
};

}  // namespace slidesaver::linux_platform

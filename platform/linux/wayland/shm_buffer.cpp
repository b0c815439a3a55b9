#include "platform/linux/wayland/shm_buffer.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <stdexcept>
#include <string>

namespace slidesaver::linux_platform {

ShmBuffer::ShmBuffer(wl_shm* shm, int32_t width, int32_t height)
    : width_(width), height_(height), size_(static_cast<size_t>(width) * height * 4) {
  if (width <= 0 || height <= 0 || int64_t{width} * height * 4 > INT32_MAX) {
    throw std::runtime_error("no picture buffer of " + std::to_string(width) + " x " +
                             std::to_string(height) + " pixels");
  }
  const int fd = memfd_create("slidesaver-show", MFD_CLOEXEC);
  if (fd < 0) throw std::runtime_error(std::string("no shared memory: ") + std::strerror(errno));
  void* memory = MAP_FAILED;
  if (ftruncate(fd, static_cast<off_t>(size_)) == 0) {
    memory = mmap(nullptr, size_, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  }
  if (memory == MAP_FAILED) {
    const int error = errno;
    close(fd);
    throw std::runtime_error(std::string("no shared memory: ") + std::strerror(error));
  }
  pixels_ = static_cast<uint32_t*>(memory);
  wl_shm_pool* pool = wl_shm_create_pool(shm, fd, static_cast<int32_t>(size_));
  buffer_ =
      Own(wl_shm_pool_create_buffer(pool, 0, width, height, width * 4, WL_SHM_FORMAT_XRGB8888),
          wl_buffer_destroy);
  wl_shm_pool_destroy(pool);  // the buffer keeps the memory
  close(fd);
  static const wl_buffer_listener listener{
      [](void* self, wl_buffer*) { static_cast<ShmBuffer*>(self)->busy_ = false; }};
  wl_buffer_add_listener(buffer_.get(), &listener, this);
}

ShmBuffer::~ShmBuffer() {
  buffer_.reset();
  munmap(pixels_, size_);
}

}  // namespace slidesaver::linux_platform

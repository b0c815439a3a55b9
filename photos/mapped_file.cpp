#include "photos/mapped_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "photos/photo_error.h"

namespace slidesaver::photos {

PhotoError FileError(const std::string& path, const std::string& what) {
  return PhotoError(path + ": " + what + ": " + std::strerror(errno));
}

int OpenWithoutWaiting(const std::filesystem::path& path, struct stat& status) {
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return -1;
  if (fstat(fd, &status) != 0) {
    const int error = errno;
    close(fd);
    errno = error;
    return -1;
  }
  return fd;
}

void ExamineFile(const std::filesystem::path& path,
                 const std::function<void(std::span<const uint8_t>)>& examine) {
  struct stat status {};
  const int fd = OpenWithoutWaiting(path, status);
  if (fd < 0) throw FileError(path.string(), "cannot open");
  struct Closer {
    int fd;
    ~Closer() { close(fd); }
  } closer{fd};
  if (!S_ISREG(status.st_mode)) throw PhotoError(path.string() + ": not an ordinary file");
  const auto size = static_cast<size_t>(status.st_size);
  if (size == 0) return examine({});
  void* address = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
  if (address == MAP_FAILED) throw FileError(path.string(), "cannot read");
  struct Unmap {
    void* address;
    size_t size;
    ~Unmap() { munmap(address, size); }
  } unmap{address, size};
  examine({static_cast<const uint8_t*>(address), size});
}

}  // namespace slidesaver::photos

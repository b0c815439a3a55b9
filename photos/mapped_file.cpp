#include "photos/mapped_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

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
                 const std::function<bool(std::span<const uint8_t> bytes, bool last)>& examine) {
  struct stat status {};
  const int fd = OpenWithoutWaiting(path, status);
  if (fd < 0) throw FileError(path.string(), "cannot open");
  struct Closer {
    int fd;
    ~Closer() { close(fd); }
  } closer{fd};
  if (!S_ISREG(status.st_mode)) throw PhotoError(path.string() + ": not an ordinary file");
  std::vector<uint8_t> bytes;
  size_t wanted = size_t{256} << 10;
  for (;;) {
    // Read on from where the last round ended; the file's end may come sooner than its size said.
    const size_t had = bytes.size();
    bytes.resize(wanted);
    size_t done = had;
    while (done < bytes.size()) {
      const ssize_t n = pread(fd, bytes.data() + done, bytes.size() - done, off_t(done));
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) throw FileError(path.string(), "cannot read");
      if (n == 0) break;
      done += static_cast<size_t>(n);
    }
    bytes.resize(done);
    const bool last = done < wanted || wanted == kMaxExamineBytes;
    if (examine(bytes, last) || last) return;
    wanted = std::min(wanted * 4, kMaxExamineBytes);
  }
}

}  // namespace slidesaver::photos

#include "tools/slidepack/spill_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

#include "tools/slidepack/slidepack_error.h"

namespace slidepack {

// The spill file, read with pread; closed when the last Bytes of it goes.
class SpillFile::Source : public slidesaver::media::ByteSource {
 public:
  Source(int fd, std::string name) : fd_(fd), name_(std::move(name)) {}
  ~Source() override { close(fd_); }
  Source(const Source&) = delete;
  Source& operator=(const Source&) = delete;

  uint64_t Size() const override { return end_.load(); }
  // Room for `size` more bytes: where they go.
  uint64_t Reserve(uint64_t size) { return end_.fetch_add(size); }
  std::string Name() const override { return name_; }
  void ReadAt(uint64_t offset, std::span<uint8_t> out) const override {
    while (!out.empty()) {
      const ssize_t n = pread(fd_, out.data(), out.size(), static_cast<off_t>(offset));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        throw slidesaver::media::ReadError(name_ + ": cannot read the prepared pictures: " +
                                           (n == 0 ? "the file is short" : std::strerror(errno)));
      }
      out = out.subspan(static_cast<size_t>(n));
      offset += static_cast<uint64_t>(n);
    }
  }

 private:
  int fd_;
  std::atomic<uint64_t> end_{0};
  std::string name_;
};

SpillFile::SpillFile(const std::filesystem::path& folder)
    : folder_(folder.empty() ? std::filesystem::path(".") : folder) {
  fd_ = open(folder_.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
  if (fd_ < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
    // A file system without unnamed files: a named one, unlinked at once.
    std::string pattern = (folder_ / ".slidepack-XXXXXX").string();
    fd_ = mkostemp(pattern.data(), O_CLOEXEC);
    if (fd_ >= 0) unlink(pattern.c_str());
  }
  if (fd_ < 0) throw FileError(folder_.string(), "cannot create a temporary file");
  source_ = std::make_shared<Source>(fd_, folder_.string());
}

SpillFile::~SpillFile() = default;

SpillFile::Piece SpillFile::Add(std::span<const uint8_t> bytes) {
  const Piece piece{source_->Reserve(bytes.size()), bytes.size()};
  uint64_t at = piece.offset;
  while (!bytes.empty()) {
    const ssize_t written = pwrite(fd_, bytes.data(), bytes.size(), static_cast<off_t>(at));
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      if (written == 0) errno = ENOSPC;
      throw FileError(folder_.string(), "cannot keep the prepared pictures");
    }
    bytes = bytes.subspan(static_cast<size_t>(written));
    at += static_cast<uint64_t>(written);
  }
  return piece;
}

slidesaver::Bytes SpillFile::Get(Piece piece) const {
  if (piece.size == 0) return {};
  return slidesaver::Bytes(source_, piece.offset, piece.size);
}

}  // namespace slidepack

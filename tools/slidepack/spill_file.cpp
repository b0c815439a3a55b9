#include "tools/slidepack/spill_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>

#include "tools/slidepack/slidepack_error.h"

namespace slidepack {

namespace {

struct Mapping {
  void* address;
  size_t size;
  ~Mapping() { munmap(address, size); }
};

}  // namespace

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
}

SpillFile::~SpillFile() {
  if (fd_ >= 0) close(fd_);
}

SpillFile::Piece SpillFile::Add(std::span<const uint8_t> bytes) {
  const Piece piece{end_.fetch_add(bytes.size()), bytes.size()};
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

slidesaver::Bytes SpillFile::Get(Piece piece) {
  if (piece.size == 0) return {};
  if (!mapping_) {
    const uint64_t size = end_.load();
    void* address = mmap(nullptr, size, PROT_READ, MAP_SHARED, fd_, 0);
    if (address == MAP_FAILED)
      throw FileError(folder_.string(), "cannot read the prepared pictures");
    mapping_ = std::make_shared<const Mapping>(address, size);
    base_ = static_cast<const uint8_t*>(address);
  }
  return slidesaver::Bytes(mapping_, base_ + piece.offset, piece.size);
}

}  // namespace slidepack

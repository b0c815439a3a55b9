// Files on Linux: plain POSIX calls, read-only mappings, writes that never follow a symlink.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/linux/linux_platform.h"

namespace slidesaver::linux_platform {
namespace {

class Mapping : public platform::MappedFile {
 public:
  Mapping(void* address, size_t size) : address_(address), size_(size) {}
  ~Mapping() override {
    if (address_) munmap(address_, size_);
  }
  const uint8_t* data() const override { return static_cast<const uint8_t*>(address_); }
  size_t size() const override { return size_; }

 private:
  void* address_;
  size_t size_;
};

bool WriteAll(int fd, std::span<const uint8_t> bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

std::string Describe(const std::string& what, const std::string& path, int error) {
  return what + " " + path + ": " + std::strerror(error);
}

class PosixFileSystem : public platform::FileSystem {
 public:
  bool Exists(const std::string& path) override {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0;
  }

  bool FileExists(const std::string& path) override {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
  }

  platform::CreateFolderResult CreateFolder(const std::string& path) override {
    if (mkdir(path.c_str(), 0700) == 0) return platform::CreateFolderResult::Created;
    return errno == EEXIST ? platform::CreateFolderResult::AlreadyExists
                           : platform::CreateFolderResult::Failed;
  }

  bool RemoveFolder(const std::string& path) override { return rmdir(path.c_str()) == 0; }

  bool DeleteFile(const std::string& path) override { return unlink(path.c_str()) == 0; }

  bool WriteFile(const std::string& path, std::span<const uint8_t> bytes) override {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    const bool written = WriteAll(fd, bytes);
    return close(fd) == 0 && written;
  }

  std::string WriteFileAtomic(const std::string& path, std::span<const uint8_t> bytes) override {
    std::string temp = path + ".XXXXXX";
    const int fd = mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) return Describe("cannot create a temporary file beside", path, errno);
    // The new file gets the old one's permissions, or the usual ones for a new file.
    struct stat old {};
    if (stat(path.c_str(), &old) == 0) {
      fchmod(fd, old.st_mode & 07777);
    } else {
      const mode_t mask = umask(0);
      umask(mask);
      fchmod(fd, 0666 & ~mask);
    }
    int error = 0;
    if (!WriteAll(fd, bytes) || fsync(fd) != 0) error = errno;
    if (close(fd) != 0 && error == 0) error = errno;
    if (error == 0 && rename(temp.c_str(), path.c_str()) != 0) error = errno;
    if (error != 0) {
      unlink(temp.c_str());
      return Describe("cannot write", path, error);
    }
    return {};
  }

  std::shared_ptr<const platform::MappedFile> MapFile(const std::string& path) override {
    // O_NONBLOCK: a FIFO in place of the file must not hang the open.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
      close(fd);
      return nullptr;
    }
    const size_t size = static_cast<size_t>(st.st_size);
    if (size == 0) {
      close(fd);
      return std::make_shared<Mapping>(nullptr, 0);
    }
    void* address = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    close(fd);
    if (address == MAP_FAILED) return nullptr;
    madvise(address, size, MADV_SEQUENTIAL);
    return std::make_shared<Mapping>(address, size);
  }
};

}  // namespace

std::unique_ptr<platform::FileSystem> MakePosixFileSystem() {
  return std::make_unique<PosixFileSystem>();
}

}  // namespace slidesaver::linux_platform

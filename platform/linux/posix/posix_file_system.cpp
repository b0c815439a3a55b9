// Files on Linux: plain POSIX calls, files read as they are needed, writes that never follow a
// symlink and copy between files in the kernel.
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/linux/linux_platform.h"
#include "platform/linux/posix/atomic_file.h"
#include "platform/linux/posix/close_signals.h"

namespace slidesaver::linux_platform {
namespace {

// An ordinary file open for reading; read with pread, so it is never held in memory.
class PosixFile : public media::ByteSource {
 public:
  PosixFile(int fd, uint64_t size, std::string path)
      : fd_(fd), size_(size), path_(std::move(path)) {}
  ~PosixFile() override { close(fd_); }
  PosixFile(const PosixFile&) = delete;
  PosixFile& operator=(const PosixFile&) = delete;

  int fd() const { return fd_; }
  uint64_t Size() const override { return size_; }
  std::string Name() const override { return path_; }

  void ReadAt(uint64_t offset, std::span<uint8_t> out) const override {
    while (!out.empty()) {
      const ssize_t n = pread(fd_, out.data(), out.size(), static_cast<off_t>(offset));
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) throw media::ReadError(path_ + ": " + std::strerror(errno));
      if (n == 0) throw media::ReadError(path_ + ": the file is shorter than it was");
      out = out.subspan(static_cast<size_t>(n));
      offset += static_cast<uint64_t>(n);
    }
  }

 private:
  int fd_;
  uint64_t size_;
  std::string path_;
};

// A close signal stops a copy between two pieces.
bool Interrupted() {
  if (!CloseSignalReceived()) return false;
  errno = EINTR;
  return true;
}

// Copies in the kernel: copy_file_range, or sendfile where the file systems refuse it. False
// with errno set on failure; with errno 0 when neither call works here and nothing was copied.
bool KernelCopy(int from, uint64_t offset, uint64_t size, int to) {
  bool use_sendfile = false;
  uint64_t done = 0;
  while (done < size) {
    if (Interrupted()) return false;
    const size_t piece =
        static_cast<size_t>(std::min<uint64_t>(media::kCopyPieceBytes, size - done));
    off_t at = static_cast<off_t>(offset + done);
    const ssize_t n = use_sendfile ? sendfile(to, from, &at, piece)
                                   : copy_file_range(from, &at, to, nullptr, piece, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && done == 0 &&
        (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP)) {
      if (use_sendfile) {
        errno = 0;
        return false;
      }
      use_sendfile = true;
      continue;
    }
    if (n < 0) return false;
    if (n == 0) {
      errno = ENODATA;  // the source ended early
      return false;
    }
    done += static_cast<uint64_t>(n);
  }
  return true;
}

bool CopyThroughBuffer(const media::ByteSource& source, uint64_t offset, uint64_t size, int to,
                       std::string& read_error) {
  if (const uint8_t* memory = source.Memory()) {
    for (uint64_t done = 0; done < size;) {
      if (Interrupted()) return false;
      const size_t piece =
          static_cast<size_t>(std::min<uint64_t>(media::kCopyPieceBytes, size - done));
      if (!WriteAll(to, {memory + offset + done, piece})) return false;
      done += piece;
    }
    return true;
  }
  std::vector<uint8_t> buffer(
      static_cast<size_t>(std::min<uint64_t>(media::kCopyPieceBytes, size)));
  for (uint64_t done = 0; done < size;) {
    if (Interrupted()) return false;
    const std::span<uint8_t> piece(
        buffer.data(), static_cast<size_t>(std::min<uint64_t>(buffer.size(), size - done)));
    try {
      source.ReadAt(offset + done, piece);
    } catch (const media::ReadError& error) {
      read_error = error.what();
      return false;
    }
    if (!WriteAll(to, piece)) return false;
    done += piece.size();
  }
  return true;
}

// The lock of a file that is still the one at its path.
class PosixOwnerLock : public platform::OwnerLock {
 public:
  PosixOwnerLock(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
  ~PosixOwnerLock() override {
    unlink(path_.c_str());  // still held, so nobody takes it between the two calls
    close(fd_);
  }
  PosixOwnerLock(const PosixOwnerLock&) = delete;
  PosixOwnerLock& operator=(const PosixOwnerLock&) = delete;

 private:
  int fd_;
  std::string path_;
};

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

  platform::FileStatus CreateFolder(const std::string& path) override {
    if (mkdir(path.c_str(), 0700) == 0) return platform::Done{};
    return errno == EEXIST ? platform::FileStatus::Taken(std::strerror(errno)) : Failure();
  }

  platform::FileStatus RemoveFolder(const std::string& path) override {
    return rmdir(path.c_str()) == 0 ? platform::Done{} : Failure();
  }

  platform::FileStatus DeleteFile(const std::string& path) override {
    return unlink(path.c_str()) == 0 ? platform::Done{} : Failure();
  }

  platform::FileResult<std::vector<std::string>> FolderEntries(const std::string& folder) override {
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return Failure<std::vector<std::string>>();
    DIR* dir = fdopendir(fd);
    if (!dir) {
      const int error = errno;
      close(fd);
      return platform::FileResult<std::vector<std::string>>::Failed(std::strerror(error));
    }
    std::vector<std::string> names;
    while (const dirent* entry = readdir(dir)) {
      const std::string name = entry->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    closedir(dir);
    return names;
  }

  platform::FileStatus WriteFileFrom(const std::string& path, const media::ByteSource& source,
                                     uint64_t offset, uint64_t size) override {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) return Failure();
    std::string read_error;
    bool written = false;
    const auto* file = dynamic_cast<const PosixFile*>(&source);
    if (file && size > 0) {
      written = KernelCopy(file->fd(), offset, size, fd);
      if (!written && errno == 0) written = CopyThroughBuffer(source, offset, size, fd, read_error);
    } else {
      written = CopyThroughBuffer(source, offset, size, fd, read_error);
    }
    int error = written ? 0 : errno;
    if (close(fd) != 0 && written) error = errno;
    if (!written || error != 0) {
      unlink(path.c_str());  // no partial file
      if (!read_error.empty()) return platform::FileStatus::Failed(read_error);
      if (error == ENODATA) return platform::FileStatus::Failed("the file read from ended early");
      return platform::FileStatus::Failed(std::strerror(error));
    }
    return platform::Done{};
  }

  platform::FileStatus WriteFileAtomic(const std::string& path,
                                       std::span<const uint8_t> bytes) override {
    const std::string problem = ReplaceFileAtomically(path, bytes, AtomicFileMode::kKeepOrUmask);
    if (problem.empty()) return platform::Done{};
    return platform::FileStatus::Failed(problem);
  }

  platform::FileResult<std::shared_ptr<const media::ByteSource>> OpenForReading(
      const std::string& path) override {
    using Result = platform::FileResult<std::shared_ptr<const media::ByteSource>>;
    // O_NONBLOCK: a FIFO in place of the file must not hang the open.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return Failure<std::shared_ptr<const media::ByteSource>>();
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
      close(fd);
      return Result::Failed("not an ordinary file");
    }
    posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    return std::shared_ptr<const media::ByteSource>(
        std::make_shared<PosixFile>(fd, static_cast<uint64_t>(st.st_size), path));
  }

  platform::FileResult<std::unique_ptr<platform::OwnerLock>> TakeOwnerLock(
      const std::string& path) override {
    using Result = platform::FileResult<std::unique_ptr<platform::OwnerLock>>;
    // A file taken over from a process that is gone may be removed by another taker between
    // the open and the lock: then it is opened afresh.
    for (int attempt = 0; attempt < 8; ++attempt) {
      const int fd =
          open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
      if (fd < 0) return Failure<std::unique_ptr<platform::OwnerLock>>();
      if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        close(fd);
        if (error == EWOULDBLOCK) return Result::Taken("held by another process");
        return Result::Failed(std::strerror(error));
      }
      struct stat held {
      }, named{};
      if (fstat(fd, &held) == 0 && lstat(path.c_str(), &named) == 0 &&
          held.st_dev == named.st_dev && held.st_ino == named.st_ino) {
        return std::unique_ptr<platform::OwnerLock>(std::make_unique<PosixOwnerLock>(fd, path));
      }
      close(fd);
    }
    return Result::Failed("removed by other takers again and again");
  }

 private:
  // The failure errno names.
  template <class T = platform::Done>
  static platform::FileResult<T> Failure() {
    return platform::FileResult<T>::Failed(std::strerror(errno));
  }
};

}  // namespace

std::unique_ptr<platform::FileSystem> MakePosixFileSystem() {
  return std::make_unique<PosixFileSystem>();
}

}  // namespace slidesaver::linux_platform

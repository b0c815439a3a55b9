#include "platform/linux/posix/atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace slidesaver::linux_platform {
namespace {

constexpr const char* kTemporaryInfix = ".saving-";
constexpr size_t kRandomLength = 6;  // mkostemp's XXXXXX

std::string Describe(const std::string& what, const std::string& path, int error) {
  return what + " " + path + ": " + std::strerror(error);
}

bool SameFile(int fd, const std::string& path) {
  struct stat held {
  }, named{};
  return fstat(fd, &held) == 0 && lstat(path.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
         held.st_ino == named.st_ino;
}

// Removes the temporary files of `name` in `folder` whose writer is gone: nobody holds their
// lock any more.
void RemoveAbandonedTemporaries(const std::string& folder, const std::string& name) {
  DIR* dir = opendir(folder.c_str());
  if (!dir) return;
  const std::string prefix = name + kTemporaryInfix;
  std::vector<std::string> abandoned;
  while (const dirent* entry = readdir(dir)) {
    const std::string candidate = entry->d_name;
    if (candidate.size() == prefix.size() + kRandomLength && candidate.starts_with(prefix))
      abandoned.push_back(folder + "/" + candidate);
  }
  closedir(dir);
  for (const std::string& path : abandoned) {
    const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) continue;
    if (flock(fd, LOCK_EX | LOCK_NB) == 0 && SameFile(fd, path)) unlink(path.c_str());
    close(fd);
  }
}

mode_t NewFileMode(const std::string& path, AtomicFileMode mode) {
  if (mode == AtomicFileMode::kPrivate) return 0600;
  struct stat old {};
  if (lstat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode)) return old.st_mode & 07777;
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

// A new temporary file beside `path`, locked; -1 with errno set on failure.
int CreateLockedTemporary(const std::string& path, std::string& temporary) {
  for (int attempt = 0; attempt < 8; ++attempt) {
    temporary = path + kTemporaryInfix + std::string(kRandomLength, 'X');
    const int fd = mkostemp(temporary.data(), O_CLOEXEC);  // mode 0600
    if (fd < 0) return -1;
    // Until it is locked, another writer's clean-up may take it for abandoned.
    if (flock(fd, LOCK_EX) == 0 && SameFile(fd, temporary)) return fd;
    close(fd);
  }
  errno = EAGAIN;
  return -1;
}

}  // namespace

bool WriteAll(int fd, std::span<const uint8_t> bytes) {
  while (!bytes.empty()) {
    const ssize_t n = write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = ENOSPC;
      return false;
    }
    bytes = bytes.subspan(static_cast<size_t>(n));
  }
  return true;
}

std::string ReplaceFileAtomically(const std::string& path, std::span<const uint8_t> bytes,
                                  AtomicFileMode mode) {
  const size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "."
                             : slash == 0               ? "/"
                                                        : path.substr(0, slash);
  RemoveAbandonedTemporaries(folder, slash == std::string::npos ? path : path.substr(slash + 1));

  std::string temporary;
  const int fd = CreateLockedTemporary(path, temporary);
  if (fd < 0) return folder + ": " + std::strerror(errno);  // no file can be made there
  int error = 0;
  if (fchmod(fd, NewFileMode(path, mode)) != 0 || !WriteAll(fd, bytes) || fsync(fd) != 0)
    error = errno;
  if (error == 0 && rename(temporary.c_str(), path.c_str()) != 0) error = errno;
  if (error != 0) unlink(temporary.c_str());
  close(fd);  // the lock is held until the file has its final name, or none
  if (error != 0) return Describe("cannot write", path, error);
  if (const int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
    fsync(dir);  // makes the rename itself durable
    close(dir);
  }
  return {};
}

}  // namespace slidesaver::linux_platform

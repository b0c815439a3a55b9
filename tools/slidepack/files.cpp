#include "tools/slidepack/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>
#include <vector>

#include "tools/slidepack/interrupt.h"
#include "tools/slidepack/slidepack_error.h"

namespace slidepack {

namespace {

// open(2) for reading that never waits (a FIFO or a device never hangs slidepack), with the
// file's status; -1 and errno on failure.
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

struct Descriptor {
  int fd;
  ~Descriptor() {
    if (fd >= 0) close(fd);
  }
};

bool Unchanged(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
         a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

// A file opened anew for each read and closed again, so that thousands of them hold no open
// files; each read first checks that the file is still the one first seen.
class InputFile : public slidesaver::media::ByteSource {
 public:
  InputFile(std::filesystem::path path, const struct stat& status)
      : path_(std::move(path)), status_(status) {}

  uint64_t Size() const override { return static_cast<uint64_t>(status_.st_size); }
  std::string Name() const override { return path_.string(); }

  void ReadAt(uint64_t offset, std::span<uint8_t> out) const override {
    struct stat now {};
    Descriptor file{OpenWithoutWaiting(path_, now)};
    if (file.fd < 0) throw slidesaver::media::ReadError(Name() + ": " + std::strerror(errno));
    if (!Unchanged(now, status_)) {
      throw slidesaver::media::ReadError(Name() +
                                         ": the file changed while slidepack was reading it");
    }
    while (!out.empty()) {
      const ssize_t n = pread(file.fd, out.data(), out.size(), static_cast<off_t>(offset));
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) throw slidesaver::media::ReadError(Name() + ": " + std::strerror(errno));
      if (n == 0) throw slidesaver::media::ReadError(Name() + ": the file became shorter");
      out = out.subspan(static_cast<size_t>(n));
      offset += static_cast<uint64_t>(n);
    }
  }

 private:
  std::filesystem::path path_;
  struct stat status_;
};

}  // namespace

slidesaver::Bytes OpenInput(const std::filesystem::path& path) {
  struct stat status {};
  Descriptor file{OpenWithoutWaiting(path, status)};
  if (file.fd < 0) throw FileError(path.string(), "cannot open");
  if (!S_ISREG(status.st_mode)) throw SlidepackError(path.string() + ": not an ordinary file");
  if (status.st_size == 0) return {};
  return slidesaver::Bytes(std::make_shared<InputFile>(path, status));
}

std::string ReadSmallFile(const std::filesystem::path& path, size_t max_bytes) {
  const slidesaver::Bytes bytes = OpenInput(path);
  if (bytes.size() > max_bytes) {
    throw SlidepackError(path.string() + ": the file is larger than " +
                         std::to_string(max_bytes >> 20) + " MiB");
  }
  try {
    const std::vector<uint8_t> text = bytes.Load();
    return std::string(text.begin(), text.end());
  } catch (const slidesaver::media::ReadError& error) {
    throw SlidepackError(error.what());
  }
}

OutputFile::OutputFile(std::filesystem::path path, unsigned mode) : path_(std::move(path)) {
  std::filesystem::path folder = path_.parent_path();
  if (folder.empty()) folder = ".";
  std::string hidden_name = ".";
  hidden_name.append(path_.filename().string()).append(".XXXXXX");
  hidden_pattern_ = (folder / hidden_name).string();
  // Unnamed until Commit(): a process that dies, however, leaves nothing.
  fd_ = open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
  if (fd_ >= 0) {
    temp_path_ = "/proc/self/fd/" + std::to_string(fd_);
  } else if (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL) {
    // A file system without unnamed files: a hidden name, removed on every failure.
    std::string pattern = hidden_pattern_;
    fd_ = mkostemp(pattern.data(), O_CLOEXEC);
    if (fd_ >= 0) {
      temp_path_ = named_ = pattern;
      removed_on_crash_ = std::make_unique<NamedUntilDone>(named_);
    }
  }
  if (fd_ < 0) throw FileError(path_.string(), "cannot create");
  const mode_t mask = umask(0);
  umask(mask);
  if (fchmod(fd_, mode & ~mask) != 0) throw FileError(path_.string(), "cannot create");
}

OutputFile::~OutputFile() {
  if (fd_ >= 0) close(fd_);
  if (!named_.empty()) unlink(named_.c_str());
}

void OutputFile::Write(std::span<const uint8_t> bytes) {
  while (!bytes.empty()) {
    const ssize_t written = write(fd_, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      throw FileError(path_.string(), "cannot write");
    }
    bytes = bytes.subspan(static_cast<size_t>(written));
  }
}

void OutputFile::Write(const slidesaver::Bytes& bytes,
                       const std::function<void(size_t)>& progress) {
  try {
    bytes.ForEachPiece([&](std::span<const uint8_t> piece) {
      Write(piece);
      progress(piece.size());
    });
  } catch (const slidesaver::media::ReadError& error) {
    throw SlidepackError(error.what());
  }
}

void OutputFile::Commit() {
  if (named_.empty()) {
    // An unnamed file gets a hidden name first: rename() then replaces an older file at once.
    // Only a kill (SIGKILL) between these two calls leaves the hidden name.
    for (int attempt = 0; named_.empty(); ++attempt) {
      std::string pattern = hidden_pattern_;
      const int probe = mkostemp(pattern.data(), O_CLOEXEC);
      if (probe < 0) throw FileError(path_.string(), "cannot write");
      close(probe);
      unlink(pattern.c_str());
      if (linkat(AT_FDCWD, temp_path_.c_str(), AT_FDCWD, pattern.c_str(), AT_SYMLINK_FOLLOW) == 0) {
        named_ = pattern;
      } else if (errno != EEXIST || attempt == 100) {
        throw FileError(path_.string(), "cannot write");
      }
    }
  }
  const int fd = std::exchange(fd_, -1);
  if (close(fd) != 0) throw FileError(path_.string(), "cannot write");
  if (rename(named_.c_str(), path_.c_str()) != 0) throw FileError(path_.string(), "cannot write");
  named_.clear();
  removed_on_crash_.reset();
}

SlidepackError LineError(const Manifest& manifest, int line, const std::string& what) {
  return SlidepackError(manifest.path.string() + ":" + std::to_string(line) + ": " + what);
}

slidesaver::Bytes ReadManifestFile(const Manifest& manifest, const ManifestFile& file,
                                   const char* role) {
  try {
    return OpenInput(file.path);
  } catch (const SlidepackError& error) {
    throw LineError(manifest, file.line, std::string(role) + " " + error.what());
  }
}

bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
  std::error_code error;
  return std::filesystem::equivalent(a, b, error);
}

}  // namespace slidepack

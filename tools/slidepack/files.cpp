#include "tools/slidepack/files.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "tools/slidepack/slidepack_error.h"

namespace slidepack {

SlidepackError FileError(const std::string& path, const std::string& what) {
  return SlidepackError(path + ": " + what + ": " + std::strerror(errno));
}

namespace {

struct Mapping {
  void* address;
  size_t size;
  ~Mapping() { munmap(address, size); }
};

struct Descriptor {
  int fd;
  ~Descriptor() {
    if (fd >= 0) close(fd);
  }
};

}  // namespace

slidesaver::Bytes ReadWholeFile(const std::filesystem::path& path) {
  Descriptor file{open(path.c_str(), O_RDONLY | O_CLOEXEC)};
  if (file.fd < 0) throw FileError(path.string(), "cannot open");
  struct stat status {};
  if (fstat(file.fd, &status) != 0) throw FileError(path.string(), "cannot read");
  if (!S_ISREG(status.st_mode)) throw SlidepackError(path.string() + ": not an ordinary file");
  const auto size = static_cast<size_t>(status.st_size);
  if (size == 0) return {};
  void* address = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, file.fd, 0);
  if (address == MAP_FAILED) throw FileError(path.string(), "cannot read");
  auto mapping = std::make_shared<const Mapping>(address, size);
  return slidesaver::Bytes(mapping, static_cast<const uint8_t*>(address), size);
}

OutputFile::OutputFile(std::filesystem::path path, unsigned mode) : path_(std::move(path)) {
  std::filesystem::path folder = path_.parent_path();
  if (folder.empty()) folder = ".";
  std::string hidden_name = ".";
  hidden_name.append(path_.filename().string()).append(".XXXXXX");
  std::string pattern = (folder / hidden_name).string();
  fd_ = mkostemp(pattern.data(), O_CLOEXEC);
  if (fd_ < 0) throw FileError(path_.string(), "cannot create");
  temp_path_ = pattern;
  const mode_t mask = umask(0);
  umask(mask);
  if (fchmod(fd_, mode & ~mask) != 0) throw FileError(path_.string(), "cannot create");
}

OutputFile::~OutputFile() {
  if (fd_ >= 0) close(fd_);
  if (!temp_path_.empty()) unlink(temp_path_.c_str());
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

void OutputFile::Commit() {
  const int fd = fd_;
  fd_ = -1;
  if (close(fd) != 0) throw FileError(path_.string(), "cannot write");
  if (rename(temp_path_.c_str(), path_.c_str()) != 0)
    throw FileError(path_.string(), "cannot write");
  temp_path_.clear();
}

SlidepackError LineError(const Manifest& manifest, int line, const std::string& what) {
  return SlidepackError(manifest.path.string() + ":" + std::to_string(line) + ": " + what);
}

slidesaver::Bytes ReadManifestFile(const Manifest& manifest, const ManifestFile& file,
                                   const char* role) {
  try {
    return ReadWholeFile(file.path);
  } catch (const SlidepackError& error) {
    throw LineError(manifest, file.line, std::string(role) + " " + error.what());
  }
}

bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
  std::error_code error;
  return std::filesystem::equivalent(a, b, error);
}

}  // namespace slidepack

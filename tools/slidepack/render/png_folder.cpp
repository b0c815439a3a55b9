#include "tools/slidepack/render/png_folder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "photos/vips_library.h"
#include "tools/slidepack/slidepack_error.h"

namespace slidepack::render {

using namespace slidesaver::photos;  // the photo pieces shared with the player

namespace {

std::vector<uint8_t> EncodePng(const FrameView& frame) {
  std::vector<uint8_t> rgb(static_cast<size_t>(frame.width) * frame.height * 3);
  ConvertToRgb(frame, rgb.data(), frame.width * 3);
  try {
    const vips::VImage image = vips::VImage::new_from_memory(rgb.data(), rgb.size(), frame.width,
                                                             frame.height, 3, VIPS_FORMAT_UCHAR);
    VipsBlob* blob = image.pngsave_buffer(vips::VImage::option()->set("compression", 3));
    size_t length = 0;
    const auto* data = static_cast<const uint8_t*>(vips_blob_get(blob, &length));
    std::vector<uint8_t> png(data, data + length);
    vips_area_unref(VIPS_AREA(blob));
    return png;
  } catch (const vips::VError& error) {
    throw SlidepackError("cannot make a PNG frame: " + VipsReason(error));
  }
}

}  // namespace

PngFolderWriter::PngFolderWriter(const std::filesystem::path& path, const WriterSettings& settings)
    : path_(path), frames_(settings.frames) {
  std::error_code error;
  const auto status = std::filesystem::symlink_status(path_, error);
  if (std::filesystem::exists(status)) {
    if (!std::filesystem::is_directory(status) || !std::filesystem::is_empty(path_, error)) {
      throw SlidepackError(path_.string() +
                           ": exists and is not an empty folder; give a new or empty folder");
    }
  }
  StartVips();
  std::filesystem::path folder = path_.parent_path();
  if (folder.empty()) folder = ".";
  std::string hidden_name = ".";
  hidden_name.append(path_.filename().string()).append(".XXXXXX");
  std::string pattern = (folder / hidden_name).string();
  if (!mkdtemp(pattern.data())) throw FileError(path_.string(), "cannot create the folder");
  temp_ = pattern;
}

PngFolderWriter::~PngFolderWriter() {
  if (finished_) return;
  std::error_code ignored;
  std::filesystem::remove_all(temp_, ignored);
}

std::string PngFolderWriter::FrameName(int64_t index, int64_t frames) {
  int digits = 6;
  for (int64_t limit = 1'000'000; frames >= limit && digits < 18; limit *= 10) ++digits;
  char name[48];
  std::snprintf(name, sizeof name, "frame-%0*lld.png", digits, static_cast<long long>(index + 1));
  return name;
}

void PngFolderWriter::AddFrame(const FrameView& frame) {
  if (written_ == 0 || !frame.changed.Empty()) png_ = EncodePng(frame);
  const std::filesystem::path file = temp_ / FrameName(written_, frames_);
  const int fd = open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (fd < 0) throw FileError(file.string(), "cannot create");
  size_t done = 0;
  while (done < png_.size()) {
    const ssize_t n = write(fd, png_.data() + done, png_.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const int cause = n == 0 ? ENOSPC : errno;
      close(fd);
      errno = cause;
      throw FileError(file.string(), "cannot write");
    }
    done += static_cast<size_t>(n);
  }
  if (close(fd) != 0) throw FileError(file.string(), "cannot write");
  ++written_;
}

void PngFolderWriter::Finish() {
  // The frames were named for the count expected; more of them may need longer numbers.
  if (FrameName(0, written_) != FrameName(0, frames_)) {
    for (int64_t i = 0; i < written_; ++i) {
      const std::filesystem::path from = temp_ / FrameName(i, frames_);
      if (rename(from.c_str(), (temp_ / FrameName(i, written_)).c_str()) != 0) {
        throw FileError(from.string(), "cannot rename");
      }
    }
  }
  // mkdtemp made the folder for its owner alone; it gets the usual permissions.
  const mode_t mask = umask(0);
  umask(mask);
  if (chmod(temp_.c_str(), 0777 & ~mask) != 0) throw FileError(path_.string(), "cannot create");
  rmdir(path_.c_str());  // an empty folder there makes way; anything else stays and fails
  if (rename(temp_.c_str(), path_.c_str()) != 0) throw FileError(path_.string(), "cannot create");
  finished_ = true;
}

}  // namespace slidepack::render

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <utility>
#include <vector>

#include "package/write_package.h"
#include "tools/slidepack/commands.h"
#include "tools/slidepack/files.h"
#include "tools/slidepack/manifest_text.h"
#include "tools/slidepack/progress.h"
#include "tools/slidepack/show_file.h"
#include "tools/slidepack/slidepack_error.h"
#include "tools/slidepack/unpack_names.h"

namespace slidepack {

namespace {

std::string Numbered(const char* stem, size_t index) {
  char text[32];
  std::snprintf(text, sizeof text, "%s-%03zu", stem, index + 1);
  return text;
}

// The folder unpack writes into. Every file is created relative to the folder's descriptor
// with a plain name and O_EXCL | O_NOFOLLOW, so nothing lands outside it and no existing file
// or link is followed or overwritten. Without Keep(), everything written and the folder itself
// (when unpack made it) are removed again.
class OutputFolder {
 public:
  explicit OutputFolder(const std::filesystem::path& path) : path_(path) {
    if (mkdir(path.c_str(), 0755) == 0) {
      created_ = true;
    } else if (errno != EEXIST) {
      throw FileError(path.string(), "cannot create the folder");
    }
    fd_ = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ < 0) throw FileError(path.string(), "cannot open the folder");
    std::error_code error;
    if (!created_ && !std::filesystem::is_empty(path, error)) {
      close(fd_);
      throw SlidepackError(path.string() + ": the folder is not empty; unpack into a new or " +
                           "empty folder");
    }
  }

  ~OutputFolder() {
    if (!kept_) {
      for (const std::string& file : written_) unlinkat(fd_, file.c_str(), 0);
    }
    close(fd_);
    if (!kept_ && created_) rmdir(path_.c_str());
  }

  // The bytes are read a piece at a time as they are written.
  void WriteFile(const std::string& name, const slidesaver::Bytes& bytes, Progress& progress) {
    const std::string shown = (path_ / name).string();
    struct File {
      int fd;
      ~File() {
        if (fd >= 0) close(fd);
      }
    } file{openat(fd_, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644)};
    if (file.fd < 0) throw FileError(shown, "cannot create");
    written_.push_back(name);
    try {
      bytes.ForEachPiece([&](std::span<const uint8_t> piece) {
        while (!piece.empty()) {
          const ssize_t n = write(file.fd, piece.data(), piece.size());
          if (n < 0 && errno == EINTR) continue;
          if (n < 0) throw FileError(shown, "cannot write");
          piece = piece.subspan(static_cast<size_t>(n));
          progress.Advance(static_cast<uint64_t>(n));
        }
      });
    } catch (const slidesaver::media::ReadError& error) {
      throw SlidepackError(error.what());
    }
    if (close(std::exchange(file.fd, -1)) != 0) throw FileError(shown, "cannot write");
  }

  void Keep() { kept_ = true; }

 private:
  std::filesystem::path path_;
  int fd_ = -1;
  bool created_ = false;
  bool kept_ = false;
  std::vector<std::string> written_;
};

// A Package another tool wrote may differ in layout details (a lower bound other than 0, an
// empty array with a dimension) that the manifest can't express; say so rather than promise
// a byte-identical rebuild.
// Compared piece by piece with the file, which is read as the comparison goes.
bool RebuildsIdentically(const ShowFile& show) {
  uint64_t at = show.package_offset;
  const uint64_t end = show.bytes.size();
  std::vector<uint8_t> expected;
  bool same = true;
  try {
    slidesaver::WritePackage(show.package, [&](std::span<const uint8_t> piece) {
      if (!same) return;
      same = piece.size() <= end - at;
      if (!same) return;
      expected.resize(piece.size());
      show.bytes.ReadAt(at, expected);
      same = piece.empty() || std::memcmp(piece.data(), expected.data(), piece.size()) == 0;
      at += piece.size();
    });
  } catch (const slidesaver::PackageWriteError&) {
    return false;
  } catch (const slidesaver::media::ReadError& error) {
    throw SlidepackError(error.what());
  }
  return same && at == end;
}

}  // namespace

void Unpack(const std::filesystem::path& file, const std::filesystem::path& folder_path) {
  const ShowFile show = ReadShowFile(file);
  const slidesaver::PackageHeader& package = show.package;

  OutputFolder folder(folder_path);
  Progress progress("unpacking " + file.string(), show.bytes.size() - show.package_offset);
  UnpackNames names;
  UnpackedFiles files;
  auto put = [&](const std::string& stored, const slidesaver::Bytes& data,
                 const std::string& fallback) {
    const UnpackNames::Choice choice = names.Choose(stored, data, fallback);
    if (choice.write) folder.WriteFile(choice.file, data, progress);
    return choice.file;
  };

  if (!package.BgmFileName.empty() || !package.BgmData.empty()) {
    files.music = put(package.BgmFileName, package.BgmData, "music");
  }
  for (size_t i = 0; i < package.Slides.size(); ++i) {
    const slidesaver::SlideEntry& slide = package.Slides[i];
    files.pictures.push_back(put(slide.PictureFileName, slide.PictureData, Numbered("picture", i)));
    const bool has_sound = !slide.SoundFileName.empty() || !slide.SoundData.empty();
    files.sounds.push_back(
        has_sound ? put(slide.SoundFileName, slide.SoundData, Numbered("sound", i)) : "");
  }

  std::vector<std::string> comment = {
      "Unpacked from " + file.string() + " by slidepack.",
      "Build it again with: slidepack build " + std::string(kUnpackManifestName) + " -o OUT.scr"};
  if (!RebuildsIdentically(show)) {
    const std::string note =
        "the Package's layout differs in details the manifest can't express; a rebuild holds "
        "the same show but not the same bytes";
    comment.push_back("Note: " + note);
    std::cerr << "slidepack: " << file.string() << ": warning: " << note << '\n';
  }
  if (package.Slides.empty()) {
    std::cerr << "slidepack: " << file.string()
              << ": warning: the show has no slides; add one before building it again\n";
  }
  const std::string manifest = UnpackManifest(package, files, comment);
  folder.WriteFile(
      kUnpackManifestName,
      slidesaver::Bytes::Copy({reinterpret_cast<const uint8_t*>(manifest.data()), manifest.size()}),
      progress);
  folder.Keep();
  progress.Finish();
}

}  // namespace slidepack

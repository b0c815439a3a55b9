#include "slides/picture_file.h"

#include <algorithm>

#include "media/memory_bounds.h"
#include "media/picture_header.h"

namespace slidesaver {
namespace {

using Source = std::shared_ptr<const media::ByteSource>;

constexpr size_t kFirstExamineBytes = size_t{256} << 10;

// Appends the source's bytes up to `end` (at most its size) to `bytes`, a piece at a time.
void ReadOn(const media::ByteSource& source, uint64_t end, std::vector<uint8_t>& bytes,
            const std::atomic<bool>& abandon) {
  end = std::min(end, source.Size());
  while (bytes.size() < end && !abandon.load()) {
    const size_t at = bytes.size();
    const size_t piece = static_cast<size_t>(std::min<uint64_t>(media::kCopyPieceBytes, end - at));
    bytes.resize(at + piece);
    source.ReadAt(at, std::span<uint8_t>(bytes).subspan(at));
  }
}

bool SameFile(const platform::EntryFacts& a, const platform::EntryFacts& b) {
  return a.device == b.device && a.inode == b.inode && a.size == b.size &&
         a.written_ns == b.written_ns;
}

}  // namespace

platform::FileResult<PictureExamination> ExaminePictureFile(platform::FileSystem& files,
                                                            PicturePreparer& preparer,
                                                            const std::string& path) {
  using Result = platform::FileResult<PictureExamination>;
  platform::FileResult<Source> opened = files.OpenForReading(path);
  if (!opened) return Result::Failed(opened.reason());
  const media::ByteSource& source = **opened;
  const std::atomic<bool> never{false};
  std::vector<uint8_t> bytes;
  try {
    for (uint64_t wanted = kFirstExamineBytes;; wanted *= 4) {
      ReadOn(source, std::min<uint64_t>(wanted, kMaxExamineBytes), bytes, never);
      PictureExamination examined = preparer.Examine(bytes);
      const bool last = bytes.size() >= source.Size() || bytes.size() >= kMaxExamineBytes;
      // A picture's signature that the preparer does not take yet may have its header further
      // on (a TIFF's directory at its end).
      const bool unsure = !examined.picture && media::PlayersFormatOf(bytes).has_value();
      if ((examined.problem.empty() && !unsure) || last) return examined;
    }
  } catch (const media::ReadError& error) {
    return Result::Failed(error.what());
  }
}

PictureBytes ReadPictureBytes(platform::FileSystem& files, platform::FolderWatch& folders,
                              const std::string& path, const std::atomic<bool>& abandon) {
  PictureBytes read;
  const platform::FileResult<platform::EntryFacts> before = folders.Facts(path);
  platform::FileResult<Source> opened = files.OpenForReading(path);
  if (!before || !opened) {
    read.problem = "cannot open: " + (before ? opened.reason() : before.reason());
    return read;
  }
  const media::ByteSource& source = **opened;
  try {
    uint64_t end = source.Size();
    std::vector<uint8_t> start;
    ReadOn(source, 16, start, abandon);
    if (media::PlayersFormatOf(start)) {
      media::PictureHeader header;
      read.problem = media::CheckPictureBeforeDecoding(source, &header);
      end = header.extent;
    }
    if (read.problem.empty() && end > media::kMaxPictureFileBytes) {
      read.problem = "a file larger than the largest picture the player shows";
    }
    if (read.problem.empty()) ReadOn(source, end, read.bytes, abandon);
  } catch (const media::ReadError& error) {
    read.problem = error.what();
    read.changing = true;
  }
  const platform::FileResult<platform::EntryFacts> after = folders.Facts(path);
  if (!after || !SameFile(*before, *after)) {
    read.problem = "changed while it was read";
    read.changing = true;
  }
  if (!read.problem.empty()) read.bytes.clear();
  return read;
}

}  // namespace slidesaver

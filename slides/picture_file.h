#pragma once
// A picture's file as the slides read it, through the platform's file system: read, never
// mapped (a file cut short by its writer gives a short read, not a fault), never waiting on a
// FIFO, and never more of it than the picture needs.
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/folder_watch.h"
#include "slides/picture_preparer.h"

namespace slidesaver {

// The most ExaminePictureFile reads of one file: headers end far sooner.
inline constexpr size_t kMaxExamineBytes = size_t{16} << 20;

// The examination of a file's first bytes: 256 KiB, then four times as many while its headers
// go on past them (or a picture's signature is not taken yet), up to kMaxExamineBytes. Fails
// when the file can't be opened or read.
platform::FileResult<PictureExamination> ExaminePictureFile(platform::FileSystem& files,
                                                            PicturePreparer& preparer,
                                                            const std::string& path);

struct PictureBytes {
  std::vector<uint8_t> bytes;
  std::string problem;    // why they are not to be prepared; "" when they are
  bool changing = false;  // the file changed while it was read, or ended early: it may be written
};

// The picture's own bytes: a format the players know up to the end its header marks (what
// follows is never read), once the players' header check lets it through; any other the whole
// file. Never more than media::kMaxPictureFileBytes. Stops when `abandon` is set.
PictureBytes ReadPictureBytes(platform::FileSystem& files, platform::FolderWatch& folders,
                              const std::string& path, const std::atomic<bool>& abandon);

}  // namespace slidesaver

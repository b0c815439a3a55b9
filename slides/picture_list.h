#pragma once
// The pictures of a show of photos (`slidepack new`): files given by name, and every picture
// found in folders given (walked as the folder show walks them), told from other files by
// content.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/folder_watch.h"
#include "slides/picture_preparer.h"

namespace slidesaver {

enum class PictureOrder { kName, kDate };

struct FoundPicture {
  std::string path;
  std::string time_taken;  // "YYYY:MM:DD HH:MM:SS": EXIF, else the file's modification time
};

struct PictureList {
  std::vector<FoundPicture> pictures;
  std::vector<std::string> notes;  // files left out and why, and the walk's limits reached
};

// What finding and showing pictures ask of the platform and the picture library.
struct FolderServices {
  platform::FileSystem& files;
  platform::FolderWatch& folders;
  PicturePreparer& preparer;
};

// By name: the arguments in their order, each folder's pictures by path, numbers in names
// compared as numbers (IMG_2 before IMG_10). By date: all of them by the time taken, pictures
// taken at the same second by name. Throws std::runtime_error for an argument that is missing
// or can't be read, or a file given by name that is no picture.
PictureList FindPictures(const FolderServices& services, const std::vector<std::string>& inputs,
                         PictureOrder order);

// The file as a picture when its content is one, with the time it was taken. A picture whose
// header is damaged is one too, with a note saying what is wrong. Fails (with why) for a file
// that can't be read.
platform::FileResult<std::optional<FoundPicture>> FindPicture(const FolderServices& services,
                                                              const std::string& path,
                                                              std::vector<std::string>& notes);

// "YYYY:MM:DD HH:MM:SS" in local time, of a time in ns since 1970.
std::string LocalTimeText(int64_t ns);

}  // namespace slidesaver

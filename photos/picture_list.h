#pragma once
// The pictures of a show of photos (`slidepack new`, the player's folder): files given by
// name, and every picture found in folders given (recursively, hidden entries left out), told
// from other files by content.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace slidesaver::photos {

enum class PictureOrder { kName, kDate };

struct FoundPicture {
  std::filesystem::path path;
  std::string time_taken;  // "YYYY:MM:DD HH:MM:SS": EXIF, else the file's modification time
};

struct PictureList {
  std::vector<FoundPicture> pictures;
  std::vector<std::string> notes;  // files left out, and why
};

// By name: the arguments in their order, each folder's pictures by path, numbers in names
// compared as numbers (IMG_2 before IMG_10). By date: all of them by the time taken, pictures
// taken at the same second by name. Throws PhotoError for an argument that is missing, or
// a file given by name that is no picture.
PictureList FindPictures(const std::vector<std::filesystem::path>& inputs, PictureOrder order);

// The file as a picture when its content is one, with the time it was taken (EXIF, else the
// file's time). A picture whose header is damaged is one too, with a note saying what is wrong.
// Throws PhotoError naming a file that can't be read or is no ordinary file.
std::optional<FoundPicture> FindPicture(const std::filesystem::path& path,
                                        std::vector<std::string>& notes);

// "IMG_2.jpg" < "IMG_10.jpg": runs of digits compare by their value.
bool NaturalLess(const std::string& a, const std::string& b);

}  // namespace slidesaver::photos

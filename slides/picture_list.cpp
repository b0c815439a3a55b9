#include "slides/picture_list.h"

#include <algorithm>
#include <ctime>
#include <mutex>
#include <stdexcept>

#include "slides/folder_walk.h"
#include "slides/natural_order.h"
#include "slides/picture_file.h"

namespace slidesaver {
namespace {

// Every file below `folder`, by path.
std::vector<std::string> FilesBelow(const FolderServices& services, const std::string& folder,
                                    std::vector<std::string>& notes) {
  FolderWalk walk(services.files, services.folders, folder);
  if (!walk.Problem().empty()) throw std::runtime_error(folder + ": " + walk.Problem());
  std::vector<WalkedFile> walked;
  while (walk.Step(walked)) {
  }
  for (std::string& note : walk.TakeNotes()) notes.push_back(std::move(note));
  std::vector<std::string> files;
  for (WalkedFile& file : walked) files.push_back(std::move(file.path));
  std::sort(files.begin(), files.end(), NaturalLess);
  return files;
}

}  // namespace

std::string LocalTimeText(int64_t ns) {
  static std::mutex local_time;  // std::localtime's result is shared
  const std::time_t seconds = static_cast<std::time_t>(ns / 1'000'000'000);
  std::lock_guard lock(local_time);
  const std::tm* local = std::localtime(&seconds);
  char text[32] = "";
  if (local != nullptr) std::strftime(text, sizeof text, "%Y:%m:%d %H:%M:%S", local);
  return text;
}

platform::FileResult<std::optional<FoundPicture>> FindPicture(const FolderServices& services,
                                                              const std::string& path,
                                                              std::vector<std::string>& notes) {
  using Result = platform::FileResult<std::optional<FoundPicture>>;
  const platform::FileResult<PictureExamination> examined =
      ExaminePictureFile(services.files, services.preparer, path);
  if (!examined) return Result::Failed(path + ": cannot open: " + examined.reason());
  if (!examined->picture) return std::optional<FoundPicture>();
  // A damaged picture is still a picture: whoever prepares it names the fault.
  if (!examined->problem.empty()) notes.push_back(path + " " + examined->problem);
  FoundPicture found{path, examined->time_taken};
  if (found.time_taken.empty()) {
    if (const auto facts = services.folders.Facts(path))
      found.time_taken = LocalTimeText(facts->written_ns);
  }
  return std::optional(std::move(found));
}

PictureList FindPictures(const FolderServices& services, const std::vector<std::string>& inputs,
                         PictureOrder order) {
  PictureList list;
  for (const std::string& input : inputs) {
    const platform::FileResult<platform::EntryFacts> facts = services.folders.Facts(input);
    if (!facts) throw std::runtime_error(input + ": no such file or folder");
    if (facts->kind == platform::EntryFacts::Kind::kFolder) {
      for (const std::string& file : FilesBelow(services, input, list.notes)) {
        const auto found = FindPicture(services, file, list.notes);
        if (!found) {
          list.notes.push_back(found.reason() + "; left out");
        } else if (*found) {
          list.pictures.push_back(std::move(**found));
        } else {
          list.notes.push_back(file + " is not a picture; left out");
        }
      }
      continue;
    }
    const auto found = FindPicture(services, input, list.notes);
    if (!found) throw std::runtime_error(found.reason());
    if (!*found) {
      throw std::runtime_error(input +
                               ": not a picture slidepack reads (JPEG, PNG, GIF, BMP, TIFF, WebP "
                               "or HEIF)");
    }
    list.pictures.push_back(std::move(**found));
  }
  if (order == PictureOrder::kDate) {
    std::stable_sort(
        list.pictures.begin(), list.pictures.end(),
        [](const FoundPicture& a, const FoundPicture& b) { return a.time_taken < b.time_taken; });
  }
  return list;
}

}  // namespace slidesaver

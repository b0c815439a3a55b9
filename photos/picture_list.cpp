#include "photos/picture_list.h"

#include <sys/stat.h>

#include <algorithm>
#include <ctime>

#include "photos/mapped_file.h"
#include "photos/photo_error.h"
#include "photos/picture_facts.h"

namespace slidesaver::photos {

namespace {

namespace fs = std::filesystem;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string ModificationTime(const fs::path& path) {
  struct stat status {};
  if (stat(path.c_str(), &status) != 0) return "";
  std::tm local{};
  localtime_r(&status.st_mtime, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y:%m:%d %H:%M:%S", &local);
  return text;
}

void AddFolder(const fs::path& folder, std::vector<FoundPicture>& pictures,
               std::vector<std::string>& notes) {
  std::vector<fs::path> files;
  std::error_code error;
  fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, error);
  if (error) throw PhotoError(folder.string() + ": cannot read the folder: " + error.message());
  for (; it != fs::recursive_directory_iterator(); it.increment(error)) {
    if (error) throw PhotoError(folder.string() + ": cannot read the folder: " + error.message());
    const std::string name = it->path().filename().string();
    if (!name.empty() && name[0] == '.') {
      if (it->is_directory(error)) it.disable_recursion_pending();
      continue;
    }
    if (it->is_regular_file(error)) files.push_back(it->path());
  }
  std::sort(files.begin(), files.end(), [](const fs::path& a, const fs::path& b) {
    return NaturalLess(a.string(), b.string());
  });
  for (const fs::path& file : files) {
    try {
      if (std::optional<FoundPicture> found = FindPicture(file, notes)) {
        pictures.push_back(std::move(*found));
      } else {
        notes.push_back(file.string() + " is not a picture; left out");
      }
    } catch (const PhotoError& unreadable) {
      notes.push_back(std::string(unreadable.what()) + "; left out");
    }
  }
}

}  // namespace

std::optional<FoundPicture> FindPicture(const fs::path& path, std::vector<std::string>& notes) {
  std::string time_taken;
  bool picture = true;
  ExamineFile(path, [&](std::span<const uint8_t> bytes, bool last) {
    try {
      const auto facts = ReadPictureFacts(bytes);
      picture = facts.has_value();
      if (facts) time_taken = facts->time_taken;
    } catch (const PhotoError& error) {
      // Headers that go on past the bytes read so far: more are read.
      if (!last) return false;
      // A damaged picture is still a picture: whoever decodes it names the fault.
      notes.push_back(path.string() + " " + error.what());
    }
    return true;
  });
  if (!picture) return std::nullopt;
  if (time_taken.empty()) time_taken = ModificationTime(path);
  return FoundPicture{path, time_taken};
}

bool NaturalLess(const std::string& a, const std::string& b) {
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (IsDigit(a[i]) && IsDigit(b[j])) {
      size_t end_a = i, end_b = j;
      while (end_a < a.size() && IsDigit(a[end_a])) ++end_a;
      while (end_b < b.size() && IsDigit(b[end_b])) ++end_b;
      // Leading zeros don't count for the value; with equal values the shorter run comes first.
      size_t start_a = i, start_b = j;
      while (start_a + 1 < end_a && a[start_a] == '0') ++start_a;
      while (start_b + 1 < end_b && b[start_b] == '0') ++start_b;
      const size_t length_a = end_a - start_a, length_b = end_b - start_b;
      if (length_a != length_b) return length_a < length_b;
      const int order = a.compare(start_a, length_a, b, start_b, length_b);
      if (order != 0) return order < 0;
      if (end_a - i != end_b - j) return end_a - i < end_b - j;
      i = end_a;
      j = end_b;
      continue;
    }
    if (a[i] != b[j]) return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]);
    ++i;
    ++j;
  }
  return a.size() - i < b.size() - j;
}

PictureList FindPictures(const std::vector<fs::path>& inputs, PictureOrder order) {
  PictureList list;
  for (const fs::path& input : inputs) {
    std::error_code error;
    const fs::file_status status = fs::status(input, error);
    if (fs::is_directory(status)) {
      AddFolder(input, list.pictures, list.notes);
    } else if (!fs::exists(status)) {
      throw PhotoError(input.string() + ": no such file or folder");
    } else if (std::optional<FoundPicture> found = FindPicture(input, list.notes)) {
      list.pictures.push_back(std::move(*found));
    } else {
      throw PhotoError(input.string() +
                       ": not a picture slidepack reads (JPEG, PNG, GIF, BMP, TIFF, WebP or "
                       "HEIF)");
    }
  }
  if (order == PictureOrder::kDate) {
    std::stable_sort(
        list.pictures.begin(), list.pictures.end(),
        [](const FoundPicture& a, const FoundPicture& b) { return a.time_taken < b.time_taken; });
  }
  return list;
}

}  // namespace slidesaver::photos

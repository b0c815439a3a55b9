#pragma once
// Helpers shared by the unit tests: a temporary folder that cleans up after itself, and small
// builders for Packages and files.
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "package/package.h"

namespace slidesaver::testing {

class TempFolder {
 public:
  TempFolder() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "slidesaver-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

inline std::vector<uint8_t> ToBytes(const std::string& s) { return {s.begin(), s.end()}; }

inline Bytes BytesOf(const std::string& s) { return Bytes::Copy(ToBytes(s)); }

inline std::string AsString(const Bytes& b) {
  return std::string(reinterpret_cast<const char*>(b.data()), b.size());
}

inline SlideEntry Slide(const std::string& picture_name, const std::string& picture,
                        const std::string& sound_name = "", const std::string& sound = "") {
  SlideEntry slide;
  slide.PictureFileName = picture_name;
  slide.PictureData = BytesOf(picture);
  slide.SoundFileName = sound_name;
  slide.SoundData = BytesOf(sound);
  slide.DisplayTime = 2000;
  return slide;
}

inline PackageHeader Show(std::vector<SlideEntry> slides) {
  PackageHeader header;
  header.ShowWidth = 640;
  header.ShowHeight = 480;
  header.SlideCount = static_cast<int32_t>(slides.size());
  header.Slides = std::move(slides);
  return header;
}

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::string ReadText(const std::string& path) {
  const auto bytes = ReadBytes(path);
  return {bytes.begin(), bytes.end()};
}

}  // namespace slidesaver::testing

#include "package/extract_files.h"

#include <algorithm>

#include "common/arith.h"
#include "common/path.h"
#include "common/resume_next.h"
#include "common/run_time_error.h"

namespace slidesaver {
namespace {

constexpr const char* kNoBaseFolderText = "実行できません";
constexpr const char* kNoBaseFolderTitle = "ポムレット";

// Deletes an older file of the same name, then writes the bytes; a failure is skipped.
void WriteNamedFile(platform::FileSystem& files, char separator, const std::string& temp_dir,
                    const std::string& name, const Bytes& data) {
  if (!IsSafeFileName(name, separator, &files)) return;
  const std::string path = temp_dir + name;
  ResumeNext([&] {
    if (files.FileExists(path)) files.DeleteFile(path);
    files.WriteFile(path, data.span());
  });
}

// Pictures or sounds: each slide's file unless an earlier slide carries the same name.
template <typename NameOf, typename DataOf>
void WriteSlideFiles(platform::FileSystem& files, char separator, const AppState& app,
                     NameOf name_of, DataOf data_of) {
  const auto& slides = app.Package.Slides;
  const size_t count =
      std::min(slides.size(), static_cast<size_t>(std::max(app.Package.SlideCount, 0)));
  for (size_t i = 0; i < count; ++i) {
    const std::string& name = name_of(slides[i]);
    bool duplicate = false;
    for (size_t j = 0; j < i; ++j) {
      if (name_of(slides[j]) == name) duplicate = true;
    }
    if (!duplicate) WriteNamedFile(files, separator, app.TempDir, name, data_of(slides[i]));
  }
}

}  // namespace

bool IsSafeFileName(const std::string& name, char separator, platform::FileSystem* files) {
  if (name.empty() || name == "." || name == "..") return false;
  const bool windows = separator == '\\';
  for (size_t i = 0; i < name.size(); ++i) {
    const auto c = static_cast<unsigned char>(name[i]);
    if (c == '\0' || c == '/') return false;
    if (!windows) continue;
    if (files && files->IsLeadByte(c) && i + 1 < name.size()) {
      ++i;  // the trail byte of a double-byte character may be 0x5C without being a '\'
      continue;
    }
    if (c == '\\' || c == ':') return false;
  }
  return true;
}

void ExtractFiles(platform::Platform& platform, AppState& app) {
  const std::optional<std::string> base = platform.system.ExtractionBaseFolder();
  if (!base || base->empty()) {
    platform.dialogs.MessageBox(kNoBaseFolderText, kNoBaseFolderTitle,
                                platform::MessageIcon::Information);
    throw ProcessExit{1};
  }
  const char separator = platform.process.PathSeparator();
  const std::string folder = WithTrailingSeparator(
      *base, separator, [&platform](uint8_t b) { return platform.files.IsLeadByte(b); });

  // temp<N> is taken by an atomic create: one that exists, or appears meanwhile, moves on.
  int32_t n = 1;
  ResumeNext([&] {
    while (platform.files.CreateFolder(folder + "temp" + std::to_string(n)) ==
           platform::CreateFolderResult::AlreadyExists) {
      n = Add32(n, 1);
    }
  });
  app.TempDir = folder + "temp" + std::to_string(n) + separator;

  const PackageHeader& package = app.Package;
  if (!package.BgmFileName.empty() && package.BgmFileName.front() != '\0')
    WriteNamedFile(platform.files, separator, app.TempDir, package.BgmFileName, package.BgmData);
  WriteSlideFiles(
      platform.files, separator, app,
      [](const SlideEntry& s) -> const std::string& { return s.PictureFileName; },
      [](const SlideEntry& s) -> const Bytes& { return s.PictureData; });
  WriteSlideFiles(
      platform.files, separator, app,
      [](const SlideEntry& s) -> const std::string& { return s.SoundFileName; },
      [](const SlideEntry& s) -> const Bytes& { return s.SoundData; });
}

}  // namespace slidesaver

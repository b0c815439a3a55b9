#include "package/extract_files.h"

#include <algorithm>
#include <set>

#include "common/arith.h"
#include "common/resume_next.h"
#include "common/run_time_error.h"

namespace slidesaver {
namespace {

constexpr const char* kNoBaseFolderText = "実行できません";
constexpr const char* kNoBaseFolderTitle = "ポムレット";

// Pictures or sounds: each slide's file unless an earlier slide carries the same name. A lying
// SlideCount is bounded by the slides the Package holds.
template <typename NameOf, typename DataOf>
void WriteSlideFiles(ExtractedShow& show, const PackageHeader& package, NameOf name_of,
                     DataOf data_of) {
  const size_t count = std::min(package.Slides.size(),
                                static_cast<size_t>(std::max(package.SlideCount, int32_t{0})));
  std::set<std::string> seen;
  for (size_t i = 0; i < count; ++i) {
    const SlideEntry& slide = package.Slides[i];
    if (seen.insert(name_of(slide)).second) show.Write(name_of(slide), data_of(slide).span());
  }
}

}  // namespace

ExtractedShow ExtractFiles(platform::Platform& platform, const PackageHeader& package) {
  const std::optional<std::string> base = platform.system.ExtractionBaseFolder();
  if (!base || base->empty()) {
    platform.dialogs.MessageBox(kNoBaseFolderText, kNoBaseFolderTitle,
                                platform::MessageIcon::Information);
    throw ProcessExit{1};
  }
  const platform::PathRules paths = platform.files.GetPathRules();
  const std::string folder = paths.WithTrailingSeparator(*base);

  // temp<N> is taken by an atomic create: one that exists, or appears meanwhile, moves on.
  int32_t n = 1;
  ResumeNext([&] {
    while (platform.files.CreateFolder(folder + "temp" + std::to_string(n)) ==
           platform::CreateFolderResult::AlreadyExists) {
      n = Add32(n, 1);
    }
  });
  ExtractedShow show(platform.files, folder + "temp" + std::to_string(n) + paths.separator);

  show.Write(package.BgmFileName, package.BgmData.span());
  WriteSlideFiles(
      show, package, [](const SlideEntry& s) -> const std::string& { return s.PictureFileName; },
      [](const SlideEntry& s) -> const Bytes& { return s.PictureData; });
  WriteSlideFiles(
      show, package, [](const SlideEntry& s) -> const std::string& { return s.SoundFileName; },
      [](const SlideEntry& s) -> const Bytes& { return s.SoundData; });
  return show;
}

}  // namespace slidesaver

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
constexpr std::string_view kFolderStem = "temp";
constexpr std::string_view kLockSuffix = ".lock";

std::string FolderName(int32_t n) { return std::string(kFolderStem) + std::to_string(n); }

// "temp<N>" for the lock file "temp<N>.lock"; nothing for any other name.
std::optional<std::string> FolderOfLock(const std::string& name) {
  if (!name.starts_with(kFolderStem) || !name.ends_with(kLockSuffix)) return std::nullopt;
  const std::string folder = name.substr(0, name.size() - kLockSuffix.size());
  const std::string_view digits = std::string_view(folder).substr(kFolderStem.size());
  if (digits.empty() ||
      !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return std::nullopt;
  return folder;
}

// The folders of extractions whose process is gone, however it ended: their lock is free.
// Only the files of the folder are removed (an extraction makes no folders in it).
void RemoveLeftOverFolders(platform::FileSystem& files, const platform::PathRules& paths,
                           const std::string& base) {
  for (const std::string& name : files.FolderEntries(base).value_or({})) {
    const std::optional<std::string> folder_name = FolderOfLock(name);
    if (!folder_name) continue;
    const auto owner = files.TakeOwnerLock(base + name);
    if (!owner) continue;  // in use, or not ours to judge
    const std::string folder = base + *folder_name;
    for (const std::string& file : files.FolderEntries(folder).value_or({}))
      files.DeleteFile(paths.Join(folder, file));
    files.RemoveFolder(folder);
  }  // the lock and its file go with `owner`
}

// Pictures or sounds: each slide's file unless an earlier slide carries the same name. A lying
// SlideCount is bounded by the slides the Package holds. A close request stops it.
template <typename NameOf, typename DataOf, typename Stop>
void WriteSlideFiles(ExtractedShow& show, const PackageHeader& package, NameOf name_of,
                     DataOf data_of, Stop stop_if_asked) {
  const size_t count = std::min(package.Slides.size(),
                                static_cast<size_t>(std::max(package.SlideCount, int32_t{0})));
  std::set<std::string> seen;
  for (size_t i = 0; i < count; ++i) {
    const SlideEntry& slide = package.Slides[i];
    if (seen.insert(name_of(slide)).second) show.Write(name_of(slide), data_of(slide));
    stop_if_asked();
  }
}

}  // namespace

ExtractedShow ExtractFiles(platform::Platform& platform, const PackageHeader& package) {
  // The process is asked to end: what was written goes with `show` as the exit unwinds.
  const auto stop_if_asked = [&platform] {
    if (platform.process.CloseRequested()) throw ProcessExit{0};
  };
  stop_if_asked();
  const platform::BaseFolder base = platform.system.ExtractionBaseFolder();
  if (base.path.empty()) {
    const std::string reason =
        base.problem.empty() ? "no folder for the show's files" : base.problem;
    platform.process.Log(std::string(kNoBaseFolderText) + ": " + reason);
    platform.dialogs.MessageBox(std::string(kNoBaseFolderText) + "\r\n" + reason,
                                kNoBaseFolderTitle, platform::MessageIcon::Information);
    throw ProcessExit{1};
  }
  const platform::PathRules paths = platform.files.GetPathRules();
  const std::string folder = paths.WithTrailingSeparator(base.path);
  const auto log = [&](const std::string& text) { platform.process.Log(text); };
  ResumeNext("removing folders left by earlier runs", log,
             [&] { RemoveLeftOverFolders(platform.files, paths, folder); });

  // temp<N> is the first number under which nothing exists. Its lock is taken before the
  // folder is made, so that no other process ever sees the folder unowned; the folder itself
  // is taken by an atomic create: one that appears meanwhile moves on.
  int32_t n = 1;
  std::unique_ptr<platform::OwnerLock> owner;
  ResumeNext("taking the show's folder", log, [&] {
    for (;; n = Add32(n, 1)) {
      const std::string candidate = folder + FolderName(n);
      if (platform.files.Exists(candidate)) continue;
      auto lock = platform.files.TakeOwnerLock(candidate + std::string(kLockSuffix));
      if (lock.taken()) continue;
      // None when it failed: the folder goes on unowned.
      if (lock) owner = std::move(lock).value();
      if (!platform.files.CreateFolder(candidate).taken()) return;
      owner.reset();
    }
  });
  ExtractedShow show(platform.files, folder + FolderName(n) + paths.separator, std::move(owner));

  show.Write(package.BgmFileName, package.BgmData);
  stop_if_asked();
  WriteSlideFiles(
      show, package, [](const SlideEntry& s) -> const std::string& { return s.PictureFileName; },
      [](const SlideEntry& s) -> const Bytes& { return s.PictureData; }, stop_if_asked);
  WriteSlideFiles(
      show, package, [](const SlideEntry& s) -> const std::string& { return s.SoundFileName; },
      [](const SlideEntry& s) -> const Bytes& { return s.SoundData; }, stop_if_asked);
  for (const WriteFailure& failure : show.Failures())
    platform.process.Log("cannot write " + failure.path + ": " + failure.reason);
  return show;
}

}  // namespace slidesaver

#include "package/extracted_show.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <utility>
#include <vector>

#include "common/resume_next.h"
#include "package/stored_file_name.h"

namespace slidesaver {

namespace {

// The shows whose folders are on disk. A library may end the process with exit() instead of
// returning (Xlib does when the X server goes away, and so does GDK): no destructor of the
// stack runs then, so the folders are removed by a handler exit() calls.
class ShowsOnDisk {
 public:
  static ShowsOnDisk& Get() {
    static ShowsOnDisk* const shows = new ShowsOnDisk;  // never destroyed: exit() needs it
    return *shows;
  }
  void Add(ExtractedShow* show) {
    Lock();
    shows_.push_back(show);
    if (!handler_registered_) handler_registered_ = std::atexit(RemoveAll) == 0;
    Unlock();
  }
  void Drop(ExtractedShow* show) {
    Lock();
    std::erase(shows_, show);
    Unlock();
  }

 private:
  // A flag, not a mutex: the Windows build's run-time has none, and the list is held only for
  // a moment.
  void Lock() {
    while (busy_.test_and_set(std::memory_order_acquire)) {
    }
  }
  void Unlock() { busy_.clear(std::memory_order_release); }

  static void RemoveAll() {
    ShowsOnDisk& self = Get();
    // A thread that holds the list while the process ends keeps its show.
    if (self.busy_.test_and_set(std::memory_order_acquire)) return;
    const std::vector<ExtractedShow*> shows = self.shows_;
    self.Unlock();
    for (ExtractedShow* show : shows) show->Remove();
  }

  std::atomic_flag busy_ = ATOMIC_FLAG_INIT;
  std::vector<ExtractedShow*> shows_;
  bool handler_registered_ = false;
};

}  // namespace

ExtractedShow::ExtractedShow(platform::FileSystem& files, std::string folder,
                             std::unique_ptr<platform::OwnerLock> owner)
    : files_(&files),
      paths_(files.GetPathRules()),
      folder_(std::move(folder)),
      owner_(std::move(owner)) {
  if (!folder_.empty()) ShowsOnDisk::Get().Add(this);
}

ExtractedShow::ExtractedShow(ExtractedShow&& other) noexcept
    : files_(other.files_),
      paths_(other.paths_),
      folder_(std::exchange(other.folder_, {})),
      owner_(std::move(other.owner_)),
      written_(std::exchange(other.written_, {})),
      failures_(std::exchange(other.failures_, {})) {
  if (!folder_.empty()) {
    ShowsOnDisk::Get().Drop(&other);
    ShowsOnDisk::Get().Add(this);
  }
}

ExtractedShow& ExtractedShow::operator=(ExtractedShow&& other) noexcept {
  if (this != &other) {
    Remove();
    files_ = other.files_;
    paths_ = other.paths_;
    folder_ = std::exchange(other.folder_, {});
    owner_ = std::move(other.owner_);
    written_ = std::exchange(other.written_, {});
    failures_ = std::exchange(other.failures_, {});
    if (!folder_.empty()) {
      ShowsOnDisk::Get().Drop(&other);
      ShowsOnDisk::Get().Add(this);
    }
  }
  return *this;
}

std::optional<std::string> ExtractedShow::PathOf(const std::string& stored_name) const {
  if (WhyNotAFileName(stored_name, paths_) != nullptr) return std::nullopt;
  return folder_ + stored_name;
}

void ExtractedShow::Write(const std::string& stored_name, const Bytes& bytes) {
  const std::optional<std::string> path = PathOf(stored_name);
  if (!path) return;
  written_.insert(stored_name);
  // A write that throws is one more failure of this file, told with the others.
  const auto note_failure = [&](const std::string& problem) {
    failures_.push_back({*path, problem});
  };
  ResumeNext("writing a file of the show", note_failure, [&] {
    if (files_->FileExists(*path)) files_->DeleteFile(*path);
    const platform::FileStatus written =
        bytes.empty() ? files_->WriteFile(*path, {})
                      : files_->WriteFileFrom(*path, *bytes.Source(), bytes.Offset(), bytes.size());
    // A later file of the same name replaces what an earlier one left, a failure included.
    std::erase_if(failures_, [&](const WriteFailure& failure) { return failure.path == *path; });
    if (!written) failures_.push_back({*path, written.reason()});
  });
}

void ExtractedShow::Remove() noexcept {
  if (folder_.empty()) return;
  ShowsOnDisk::Get().Drop(this);
  for (const std::string& name : written_) {
    try {
      const std::string path = folder_ + name;
      if (files_->FileExists(path)) files_->DeleteFile(path);
    } catch (...) {
    }
  }
  try {
    files_->RemoveFolder(folder_);
  } catch (...) {
  }
  owner_.reset();  // only once the folder is gone: a free lock marks a folder left over
  written_.clear();
  folder_.clear();
}

}  // namespace slidesaver

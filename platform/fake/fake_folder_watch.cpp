#include "platform/fake/fake_folder_watch.h"

#include <sys/stat.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace slidesaver::fake {

platform::FileResult<platform::EntryFacts> FakeFolderWatch::Facts(const std::string& path) {
  using Result = platform::FileResult<platform::EntryFacts>;
  struct stat named {
  }, target{};
  if (lstat(path.c_str(), &named) != 0) return Result::Failed(std::strerror(errno));
  const bool link = S_ISLNK(named.st_mode);
  if (link && stat(path.c_str(), &target) != 0) return Result::Failed(std::strerror(errno));
  const struct stat& status = link ? target : named;
  platform::EntryFacts facts;
  facts.kind = S_ISREG(status.st_mode)   ? platform::EntryFacts::Kind::kFile
               : S_ISDIR(status.st_mode) ? platform::EntryFacts::Kind::kFolder
                                         : platform::EntryFacts::Kind::kOther;
  facts.link = link;
  facts.device = status.st_dev;
  facts.inode = status.st_ino;
  facts.size = static_cast<uint64_t>(status.st_size);
  facts.written_ns = int64_t{status.st_mtim.tv_sec} * 1'000'000'000 + status.st_mtim.tv_nsec;
  const platform::FileResult<std::string> resolved = ResolvedPath(path);
  std::lock_guard lock(mutex_);
  for (const std::string& system : system_folders) {
    if (resolved && (*resolved == system || resolved->starts_with(system + "/")))
      facts.system_files = facts.kind == platform::EntryFacts::Kind::kFolder;
  }
  return facts;
}

platform::FileResult<std::string> FakeFolderWatch::ResolvedPath(const std::string& path) {
  char* resolved = realpath(path.c_str(), nullptr);
  if (resolved == nullptr) return platform::FileResult<std::string>::Failed(std::strerror(errno));
  std::string result = resolved;
  std::free(resolved);
  return result;
}

platform::FileResult<int> FakeFolderWatch::Watch(const std::string& folder) {
  std::lock_guard lock(mutex_);
  log_.push_back("Watch " + folder);
  if (watches_.size() >= watches_available)
    return platform::FileResult<int>::Failed("No space left on device");
  struct stat status {};
  if (stat(folder.c_str(), &status) != 0 || !S_ISDIR(status.st_mode))
    return platform::FileResult<int>::Failed("No such file or directory");
  watches_[next_watch_] = folder;
  return next_watch_++;
}

void FakeFolderWatch::Unwatch(int watch) {
  std::lock_guard lock(mutex_);
  const auto known = watches_.find(watch);
  if (known == watches_.end()) return;
  log_.push_back("Unwatch " + known->second);
  watches_.erase(known);
}

std::vector<platform::FolderEvent> FakeFolderWatch::Wait(int timeout_ms) {
  std::unique_lock lock(mutex_);
  const auto ready = [&] { return woken_ || !events_.empty(); };
  if (timeout_ms < 0) {
    posted_.wait(lock, ready);
  } else {
    posted_.wait_for(lock, std::chrono::milliseconds(timeout_ms), ready);
  }
  woken_ = false;
  return std::exchange(events_, {});
}

void FakeFolderWatch::Wake() {
  std::lock_guard lock(mutex_);
  woken_ = true;
  posted_.notify_all();
}

void FakeFolderWatch::Post(platform::FolderEvent::Kind kind, const std::string& folder,
                           const std::string& name) {
  std::lock_guard lock(mutex_);
  int watch = -1;
  for (const auto& [number, path] : watches_) {
    if (path == folder) watch = number;
  }
  events_.push_back({kind, watch, name});
  posted_.notify_all();
}

std::vector<std::string> FakeFolderWatch::Watched() const {
  std::lock_guard lock(mutex_);
  std::vector<std::string> folders;
  for (const auto& [number, path] : watches_) folders.push_back(path);
  return folders;
}

std::vector<std::string> FakeFolderWatch::Log() const {
  std::lock_guard lock(mutex_);
  return log_;
}

}  // namespace slidesaver::fake

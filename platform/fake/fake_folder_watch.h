#pragma once
// Folder watching for tests: entries are real files (usually below a temporary folder), learned
// as the Linux platform learns them; the watches are only noted, and the events are the ones
// the test posts. Every watch and unwatch is logged as "Watch path" and "Unwatch path".
#include <condition_variable>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/folder_watch.h"

namespace slidesaver::fake {

class FakeFolderWatch : public platform::FolderWatch {
 public:
  size_t watch_limit = 8192;
  // Watch fails once this many watches are held, as when the user's are used up.
  size_t watches_available = SIZE_MAX;
  // Folders (and what lies below them) on a file system the kernel makes up.
  std::set<std::string> system_folders;

  platform::FileResult<platform::EntryFacts> Facts(const std::string& path) override;
  platform::FileResult<std::string> ResolvedPath(const std::string& path) override;
  size_t WatchLimit() override { return watch_limit; }
  platform::FileResult<int> Watch(const std::string& folder) override;
  void Unwatch(int watch) override;
  std::vector<platform::FolderEvent> Wait(int timeout_ms) override;
  void Wake() override;

  // What the test makes happen: events for the watch of `folder` (its watch's number filled in).
  // From any thread.
  void Post(platform::FolderEvent::Kind kind, const std::string& folder, const std::string& name);
  // The folders watched now, and the log of watches and unwatches.
  std::vector<std::string> Watched() const;
  std::vector<std::string> Log() const;

 private:
  mutable std::mutex mutex_;
  std::condition_variable posted_;
  std::map<int, std::string> watches_;
  int next_watch_ = 1;
  std::vector<platform::FolderEvent> events_;
  bool woken_ = false;
  std::vector<std::string> log_;
};

}  // namespace slidesaver::fake

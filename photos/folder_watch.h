#pragma once
// The changes of a folder and its subfolders while the show plays, through inotify: a file
// whose writer closed it or that was moved in is written; a file deleted or moved out is
// removed. A file being copied is reported once, when its writer closes it. Hidden entries
// and what lies below them are left out, as the search for pictures leaves them out.
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace slidesaver::photos {

struct FolderChange {
  // The watched folder itself: kFolderGone when it was removed, moved or unmounted (the path
  // may name another folder now, or none), kFolderChanged when its permissions changed.
  enum class Kind { kWritten, kRemoved, kFolderGone, kFolderChanged };
  Kind kind;
  std::filesystem::path path;
};

class FolderWatch {
 public:
  // Watches `folder` and every subfolder in it. Throws PhotoError when inotify can't start.
  explicit FolderWatch(const std::filesystem::path& folder);
  ~FolderWatch();
  FolderWatch(const FolderWatch&) = delete;
  FolderWatch& operator=(const FolderWatch&) = delete;

  // Readable when changes wait (for poll(2)).
  int Descriptor() const { return fd_; }
  // The changes that wait, without waiting. A subfolder that appears is watched from now on
  // and its files are reported as written.
  std::vector<FolderChange> Read();

 private:
  void WatchTree(const std::filesystem::path& folder, std::vector<FolderChange>* found);

  int fd_ = -1;
  int root_watch_ = -1;
  std::map<int, std::filesystem::path> folders_;  // by watch descriptor
};

}  // namespace slidesaver::photos

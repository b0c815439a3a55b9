#pragma once
// Watching a tree of folders while the show plays, and what a walk of the tree must learn of each
// entry to stay inside it and never go round in circles. Only the Linux player plays a folder:
// there is no Windows implementation.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/file_result.h"

namespace slidesaver::platform {

// An entry of a folder, links followed.
struct EntryFacts {
  enum class Kind { kFile, kFolder, kOther };
  Kind kind = Kind::kOther;
  bool link = false;  // the name is a symbolic link; the rest is of what it leads to
  // Together they name a file or folder whatever path leads to it.
  uint64_t device = 0;
  uint64_t inode = 0;
  uint64_t size = 0;
  int64_t written_ns = 0;  // the last change of its content, in ns since 1970
  // A folder of a file system the kernel makes up (proc, sys, dev): no user's pictures there,
  // and walking it never ends.
  bool system_files = false;
  bool operator==(const EntryFacts&) const = default;
};

// What happened in a watched folder.
struct FolderEvent {
  enum class Kind {
    kWritten,     // a file whose writer closed it, or moved in
    kRemoved,     // a file deleted or moved out
    kFolderCame,  // a folder made or moved in
    kFolderWent,  // a folder deleted or moved out
    kGone,        // the watched folder itself was deleted, moved or unmounted
    kChanged,     // the watched folder's permissions changed
    kOverflow,    // events were lost: the folders must be looked at anew (watch is -1)
  };
  Kind kind = Kind::kWritten;
  int watch = -1;
  std::string name;  // the entry's name in the watched folder; empty for the folder itself
  bool operator==(const FolderEvent&) const = default;
};

class FolderWatch {
 public:
  virtual ~FolderWatch() = default;
  // The entry at `path`, links followed (`link` says whether the path itself is one).
  virtual FileResult<EntryFacts> Facts(const std::string& path) = 0;
  // The absolute path of `path` with every link and "." or ".." resolved.
  virtual FileResult<std::string> ResolvedPath(const std::string& path) = 0;

  // How many folders the user may watch at once, in all programs together.
  virtual size_t WatchLimit() = 0;
  // Watches `folder` (not the folders in it); the watch's number. Fails for a folder that is
  // gone, or when the user's watches are used up.
  virtual FileResult<int> Watch(const std::string& folder) = 0;
  virtual void Unwatch(int watch) = 0;
  // The events of the watches, waiting at most `timeout_ms` (-1: as long as it takes) for the
  // first; empty after the time, or when Wake was called.
  virtual std::vector<FolderEvent> Wait(int timeout_ms) = 0;
  // From any thread: the Wait in progress, or the next, returns at once.
  virtual void Wake() = 0;
};

}  // namespace slidesaver::platform

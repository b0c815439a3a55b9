#pragma once
// The files below a folder, found a folder at a time, and the folders watched as they are
// walked (the folder show's, not slidepack's). The walk is bounded whatever the folder holds:
// a folder is walked once however many links lead to it, a link is followed only where it leads
// into the folder's own tree (the folder itself may be a link), folders of the kernel's own
// (proc, sys, dev) are not entered, and the depth, the files and the watches have limits, each
// said once when it is reached. Hidden entries (".name") and what lies below them are left out.
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/file_system.h"
#include "platform/folder_watch.h"

namespace slidesaver {

struct WalkLimits {
  int depth = 32;          // levels of folders below the walked folder
  size_t files = 100'000;  // files found, in all
  bool watch = false;      // whether each folder walked is watched
  size_t watch_share = 4;  // at most this share of the user's watches: 1 / watch_share
};

struct WalkedFile {
  std::string path;
  bool came = false;  // in a folder that came while it was watched
};

class FolderWalk {
 public:
  FolderWalk(platform::FileSystem& files, platform::FolderWatch& folders, std::string folder,
             WalkLimits limits = {});
  ~FolderWalk();  // the watches go
  FolderWalk(const FolderWalk&) = delete;
  FolderWalk& operator=(const FolderWalk&) = delete;

  // Why the folder can't be walked (no folder, unreadable); "" when it can.
  const std::string& Problem() const { return problem_; }
  // Walks the next folder waiting (watching it first, so that what comes meanwhile is seen at
  // least once), adding its files in name order to `found`. False when none waits.
  bool Step(std::vector<WalkedFile>& found);
  bool Done() const { return waiting_.empty(); }

  // The path an event of a watch names, or the watched folder for an event about itself;
  // nothing for a watch it no longer holds, or a hidden name.
  std::optional<std::string> PathOf(const platform::FolderEvent& event) const;
  bool IsTop(int watch) const { return watch >= 0 && watch == top_watch_; }
  // A folder that came into a watched one: walked when its turn comes, its files as come.
  void Came(const platform::FolderEvent& event);
  // A folder that went: it and the folders walked below it are forgotten and unwatched.
  void Went(const std::string& folder);

  // The lines that say which limit was reached or what was not entered, since the last call.
  std::vector<std::string> TakeNotes() { return std::exchange(notes_, {}); }

 private:
  struct Walked {
    int depth = 0;
    std::pair<uint64_t, uint64_t> identity;  // device, inode
    int watch = -1;
  };
  struct Waiting {
    std::string path;
    int depth = 0;
    bool came = false;
  };

  // Queues the folder at `path` when the rules let it in.
  void Enter(const std::string& path, const platform::EntryFacts& facts, int depth, bool came);
  bool Inside(const std::string& path);
  void NoteOnce(const std::string& key, const std::string& line);

  platform::FileSystem& files_;
  platform::FolderWatch& folders_;
  std::string folder_;    // as given
  std::string resolved_;  // with its links resolved: what "inside" means
  WalkLimits limits_;
  size_t watch_limit_ = 0;
  std::string problem_;
  std::deque<Waiting> waiting_;
  std::map<std::string, Walked> walked_;  // queued or walked folders, by path
  std::set<std::pair<uint64_t, uint64_t>> identities_;
  std::map<int, std::string> watches_;  // the folder of each watch
  int top_watch_ = -1;
  size_t files_found_ = 0;
  std::set<std::string> noted_;
  std::vector<std::string> notes_;
};

}  // namespace slidesaver

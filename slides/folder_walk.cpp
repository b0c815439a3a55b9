#include "slides/folder_walk.h"

#include <algorithm>

#include "media/memory_bounds.h"
#include "slides/natural_order.h"

namespace slidesaver {
namespace {

using platform::EntryFacts;

bool Hidden(const std::string& name) { return !name.empty() && name[0] == '.'; }

std::string Join(const std::string& folder, const std::string& name) {
  return folder.ends_with('/') ? folder + name : folder + "/" + name;
}

bool AtOrBelow(const std::string& path, const std::string& folder) {
  return path == folder || path.starts_with(folder.ends_with('/') ? folder : folder + "/");
}

}  // namespace

FolderWalk::FolderWalk(platform::FileSystem& files, platform::FolderWatch& folders,
                       std::string folder, WalkLimits limits)
    : files_(files), folders_(folders), folder_(std::move(folder)), limits_(limits) {
  const platform::FileResult<EntryFacts> facts = folders_.Facts(folder_);
  const platform::FileResult<std::string> resolved = folders_.ResolvedPath(folder_);
  if (!facts || !resolved) {
    problem_ = "cannot read the folder: " + (facts ? resolved.reason() : facts.reason());
    return;
  }
  if (facts->kind != EntryFacts::Kind::kFolder) {
    problem_ = "not a folder";
    return;
  }
  resolved_ = *resolved;
  // A folder that is a link is walked where it leads, so that what lies below has one name.
  const std::string path = facts->link ? resolved_ : folder_;
  const platform::FileResult<std::vector<std::string>> entries = files_.FolderEntries(path);
  if (!entries) {
    problem_ = "cannot read the folder: " + entries.reason();
    return;
  }
  if (limits_.watch)
    watch_limit_ = folders_.WatchLimit() / std::max<size_t>(limits_.watch_share, 1);
  if (facts->system_files) {
    NoteOnce(path,
             folder_ + ": the kernel's own files (proc, sys, dev), not searched for pictures");
    return;
  }
  const std::pair identity{facts->device, facts->inode};
  identities_.insert(identity);
  walked_[path] = {0, identity, -1};
  waiting_.push_back({path, 0, false});
}

FolderWalk::~FolderWalk() {
  for (const auto& [watch, folder] : watches_) folders_.Unwatch(watch);
}

bool FolderWalk::Step(std::vector<WalkedFile>& found) {
  if (waiting_.empty()) return false;
  const Waiting next = waiting_.front();
  waiting_.pop_front();
  const auto walked = walked_.find(next.path);
  if (walked == walked_.end()) return true;  // it went meanwhile
  if (limits_.watch) {
    const platform::FileResult<int> watch = watches_.size() < watch_limit_
                                                ? folders_.Watch(next.path)
                                                : platform::FileResult<int>::Failed("");
    if (watch) {
      watches_[*watch] = next.path;
      walked->second.watch = *watch;
      if (next.depth == 0) top_watch_ = *watch;
    } else {
      NoteOnce("watches", folder_ + ": more folders than the " +
                              media::WithThousands(int64_t(watches_.size())) +
                              " it may watch; pictures copied into the others are not seen "
                              "until the show starts again");
    }
  }
  const platform::FileResult<std::vector<std::string>> entries = files_.FolderEntries(next.path);
  if (!entries) {
    NoteOnce(next.path, next.path + ": cannot read the folder (" + entries.reason() +
                            "); its pictures are left out");
    return true;
  }
  std::vector<std::string> names = *entries;
  std::erase_if(names, Hidden);
  std::sort(names.begin(), names.end(), NaturalLess);
  for (const std::string& name : names) {
    const std::string path = Join(next.path, name);
    const platform::FileResult<EntryFacts> facts = folders_.Facts(path);
    if (!facts) continue;  // gone meanwhile, or a link that leads nowhere
    if (facts->kind == EntryFacts::Kind::kFolder) {
      Enter(path, *facts, next.depth + 1, next.came);
    } else if (facts->kind == EntryFacts::Kind::kFile) {
      if (files_found_ >= limits_.files) {
        NoteOnce("files", folder_ + ": more than " +
                              media::WithThousands(static_cast<int64_t>(limits_.files)) +
                              " files; the rest are left out");
        waiting_.clear();
        return true;
      }
      ++files_found_;
      found.push_back({path, next.came});
    }
  }
  return true;
}

void FolderWalk::Enter(const std::string& path, const EntryFacts& facts, int depth, bool came) {
  if (facts.system_files) {
    NoteOnce(path, path + ": the kernel's own files (proc, sys, dev), not searched for pictures");
    return;
  }
  if (depth > limits_.depth) {
    NoteOnce("depth", folder_ + ": folders more than " + std::to_string(limits_.depth) +
                          " levels down are left out");
    return;
  }
  std::string walked = path;
  if (facts.link) {
    // Followed only into the folder's own tree: a link to "/" or to ".." leads out of it.
    const platform::FileResult<std::string> resolved = folders_.ResolvedPath(path);
    if (!resolved || !Inside(*resolved)) return;
    walked = *resolved;
  }
  const std::pair identity{facts.device, facts.inode};
  if (!identities_.insert(identity).second) return;  // walked already, by another path
  walked_[walked] = {depth, identity, -1};
  waiting_.push_back({walked, depth, came});
}

bool FolderWalk::Inside(const std::string& path) { return AtOrBelow(path, resolved_); }

std::optional<std::string> FolderWalk::PathOf(const platform::FolderEvent& event) const {
  const auto watched = watches_.find(event.watch);
  if (watched == watches_.end() || Hidden(event.name)) return std::nullopt;
  if (event.name.empty()) return watched->second;
  return Join(watched->second, event.name);
}

void FolderWalk::Came(const platform::FolderEvent& event) {
  const std::optional<std::string> path = PathOf(event);
  const auto parent = watches_.find(event.watch);
  if (!path || event.name.empty() || parent == watches_.end()) return;
  const platform::FileResult<EntryFacts> facts = folders_.Facts(*path);
  if (!facts || facts->kind != EntryFacts::Kind::kFolder) return;
  Enter(*path, *facts, walked_[parent->second].depth + 1, true);
}

void FolderWalk::Went(const std::string& folder) {
  for (auto it = walked_.begin(); it != walked_.end();) {
    if (!AtOrBelow(it->first, folder)) {
      ++it;
      continue;
    }
    if (it->second.watch >= 0) {
      folders_.Unwatch(it->second.watch);
      watches_.erase(it->second.watch);
      if (it->second.watch == top_watch_) top_watch_ = -1;
    }
    identities_.erase(it->second.identity);
    it = walked_.erase(it);
  }
  std::erase_if(waiting_, [&](const Waiting& waiting) { return AtOrBelow(waiting.path, folder); });
}

void FolderWalk::NoteOnce(const std::string& key, const std::string& line) {
  if (noted_.insert(key).second) notes_.push_back(line);
}

}  // namespace slidesaver

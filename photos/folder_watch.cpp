#include "photos/folder_watch.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "photos/photo_error.h"

namespace slidesaver::photos {
namespace {

namespace fs = std::filesystem;

constexpr uint32_t kEvents = IN_CLOSE_WRITE | IN_MOVED_TO | IN_MOVED_FROM | IN_DELETE | IN_CREATE |
                             IN_DELETE_SELF | IN_MOVE_SELF | IN_ATTRIB | IN_ONLYDIR;

bool Hidden(const fs::path& path) {
  const std::string name = path.filename().string();
  return !name.empty() && name[0] == '.';
}

}  // namespace

FolderWatch::FolderWatch(const fs::path& folder) {
  fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (fd_ < 0) throw FileError(folder.string(), "cannot watch the folder");
  WatchTree(folder, nullptr);
  root_watch_ = folders_.empty() ? -1 : folders_.begin()->first;
}

FolderWatch::~FolderWatch() { close(fd_); }

void FolderWatch::WatchTree(const fs::path& folder, std::vector<FolderChange>* found) {
  const int watch = inotify_add_watch(fd_, folder.c_str(), kEvents);
  if (watch < 0) return;  // gone already, or the watches are used up: its pictures still play
  folders_[watch] = folder;
  std::error_code error;
  for (fs::directory_iterator it(folder, fs::directory_options::skip_permission_denied, error);
       !error && it != fs::directory_iterator(); it.increment(error)) {
    if (Hidden(it->path())) continue;
    if (it->is_directory(error)) {
      WatchTree(it->path(), found);
    } else if (found != nullptr && it->is_regular_file(error)) {
      found->push_back({FolderChange::Kind::kWritten, it->path()});
    }
  }
}

std::vector<FolderChange> FolderWatch::Read() {
  std::vector<FolderChange> changes;
  alignas(inotify_event) char buffer[16384];
  for (;;) {
    const ssize_t length = read(fd_, buffer, sizeof buffer);
    if (length < 0 && errno == EINTR) continue;
    if (length <= 0) break;
    for (ssize_t at = 0; at < length;) {
      const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
      at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      const auto folder = folders_.find(event->wd);
      if (folder == folders_.end()) continue;
      if (event->wd == root_watch_ && event->len == 0 &&
          (event->mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_ATTRIB | IN_UNMOUNT | IN_IGNORED))) {
        changes.push_back({event->mask & IN_ATTRIB ? FolderChange::Kind::kFolderChanged
                                                   : FolderChange::Kind::kFolderGone,
                           folder->second});
      }
      if (event->mask & (IN_DELETE_SELF | IN_IGNORED)) {
        folders_.erase(folder);
        continue;
      }
      if (event->len == 0) continue;
      const fs::path path = folder->second / event->name;
      if (Hidden(path)) continue;
      const bool directory = (event->mask & IN_ISDIR) != 0;
      if (directory && (event->mask & (IN_CREATE | IN_MOVED_TO))) {
        WatchTree(path, &changes);
      } else if (directory && (event->mask & IN_MOVED_FROM)) {
        // Its files are gone from the show; the pictures below it are removed one by one.
        changes.push_back({FolderChange::Kind::kRemoved, path});
      } else if (!directory && (event->mask & (IN_CLOSE_WRITE | IN_MOVED_TO))) {
        changes.push_back({FolderChange::Kind::kWritten, path});
      } else if (!directory && (event->mask & (IN_DELETE | IN_MOVED_FROM))) {
        changes.push_back({FolderChange::Kind::kRemoved, path});
      }
    }
  }
  return changes;
}

}  // namespace slidesaver::photos

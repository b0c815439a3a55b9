// Folders watched through inotify; entries learned with stat(2), and the file systems the
// kernel makes up told by their type in /proc/self/mountinfo.
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "platform/linux/linux_platform.h"

namespace slidesaver::linux_platform {
namespace {

using platform::EntryFacts;
using platform::FileResult;
using platform::FolderEvent;

constexpr uint32_t kEvents = IN_CLOSE_WRITE | IN_MOVED_TO | IN_MOVED_FROM | IN_DELETE | IN_CREATE |
                             IN_DELETE_SELF | IN_MOVE_SELF | IN_ATTRIB | IN_ONLYDIR;
// Without /proc/sys/fs/inotify/max_user_watches: the kernel's smallest default.
constexpr size_t kDefaultWatchLimit = 8192;

bool MadeUpByTheKernel(const std::string& type) {
  static const std::set<std::string> kTypes = {
      "proc",      "sysfs",      "devtmpfs",    "devpts", "cgroup",     "cgroup2", "debugfs",
      "tracefs",   "securityfs", "pstore",      "bpf",    "configfs",   "fusectl", "mqueue",
      "hugetlbfs", "efivarfs",   "binfmt_misc", "autofs", "rpc_pipefs", "nsfs",    "selinuxfs"};
  return kTypes.contains(type);
}

// The devices of the mounted file systems the kernel makes up, from /proc/self/mountinfo:
// "36 35 98:0 /mnt1 /mnt2 rw,noatime master:1 - ext3 /dev/root rw,errors=continue".
std::set<dev_t> SystemDevices() {
  std::set<dev_t> devices;
  std::ifstream mounts("/proc/self/mountinfo");
  std::string line;
  while (std::getline(mounts, line)) {
    std::istringstream fields(line);
    std::string id, parent, numbers, field;
    fields >> id >> parent >> numbers;
    while (fields >> field && field != "-") {
    }
    std::string type;
    fields >> type;
    unsigned major_number = 0, minor_number = 0;
    if (std::sscanf(numbers.c_str(), "%u:%u", &major_number, &minor_number) == 2 &&
        MadeUpByTheKernel(type)) {
      devices.insert(makedev(major_number, minor_number));
    }
  }
  return devices;
}

class InotifyFolderWatch : public platform::FolderWatch {
 public:
  InotifyFolderWatch() : wake_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}
  ~InotifyFolderWatch() override {
    if (fd_ >= 0) close(fd_);
    if (wake_ >= 0) close(wake_);
  }
  InotifyFolderWatch(const InotifyFolderWatch&) = delete;
  InotifyFolderWatch& operator=(const InotifyFolderWatch&) = delete;

  FileResult<EntryFacts> Facts(const std::string& path) override {
    struct stat named {
    }, target{};
    if (lstat(path.c_str(), &named) != 0) return Failure<EntryFacts>();
    const bool link = S_ISLNK(named.st_mode);
    if (link && stat(path.c_str(), &target) != 0) return Failure<EntryFacts>();
    const struct stat& status = link ? target : named;
    EntryFacts facts;
    facts.kind = S_ISREG(status.st_mode)   ? EntryFacts::Kind::kFile
                 : S_ISDIR(status.st_mode) ? EntryFacts::Kind::kFolder
                                           : EntryFacts::Kind::kOther;
    facts.link = link;
    facts.device = status.st_dev;
    facts.inode = status.st_ino;
    facts.size = static_cast<uint64_t>(status.st_size);
    facts.written_ns = int64_t{status.st_mtim.tv_sec} * 1'000'000'000 + status.st_mtim.tv_nsec;
    facts.system_files = facts.kind == EntryFacts::Kind::kFolder && SystemDevice(status.st_dev);
    return facts;
  }

  FileResult<std::string> ResolvedPath(const std::string& path) override {
    char* resolved = realpath(path.c_str(), nullptr);
    if (resolved == nullptr) return Failure<std::string>();
    std::string result = resolved;
    std::free(resolved);
    return result;
  }

  size_t WatchLimit() override {
    std::ifstream file("/proc/sys/fs/inotify/max_user_watches");
    size_t limit = 0;
    return file >> limit && limit > 0 ? limit : kDefaultWatchLimit;
  }

  FileResult<int> Watch(const std::string& folder) override {
    // Made on the first watch: a walk alone (slidepack's) takes no inotify instance.
    if (fd_ < 0) fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd_ < 0) return Failure<int>();
    const int watch = inotify_add_watch(fd_, folder.c_str(), kEvents);
    if (watch < 0) return Failure<int>();
    return watch;
  }

  void Unwatch(int watch) override {
    if (fd_ >= 0) inotify_rm_watch(fd_, watch);
  }

  std::vector<FolderEvent> Wait(int timeout_ms) override {
    pollfd waits[2] = {{wake_, POLLIN, 0}, {fd_, POLLIN, 0}};
    if (poll(waits, fd_ >= 0 ? 2 : 1, timeout_ms) > 0 && (waits[0].revents & POLLIN)) {
      uint64_t count = 0;
      (void)!read(wake_, &count, sizeof count);
    }
    return Read();
  }

  void Wake() override {
    const uint64_t one = 1;
    (void)!write(wake_, &one, sizeof one);
  }

 private:
  template <class T>
  static FileResult<T> Failure() {
    return FileResult<T>::Failed(std::strerror(errno));
  }

  bool SystemDevice(dev_t device) {
    const auto known = devices_.find(device);
    if (known != devices_.end()) return known->second;
    // A device not seen before may be a file system mounted since.
    const std::set<dev_t> system = SystemDevices();
    return devices_[device] = system.contains(device);
  }

  std::vector<FolderEvent> Read() {
    std::vector<FolderEvent> events;
    if (fd_ < 0) return events;
    alignas(inotify_event) char buffer[16384];
    for (;;) {
      const ssize_t length = read(fd_, buffer, sizeof buffer);
      if (length < 0 && errno == EINTR) continue;
      if (length <= 0) break;
      for (ssize_t at = 0; at < length;) {
        const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
        at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        if (const std::optional<FolderEvent> told = EventOf(*event)) events.push_back(*told);
      }
    }
    return events;
  }

  static std::optional<FolderEvent> EventOf(const inotify_event& event) {
    using Kind = FolderEvent::Kind;
    const uint32_t mask = event.mask;
    if (mask & IN_Q_OVERFLOW) return FolderEvent{Kind::kOverflow, -1, ""};
    if (event.len == 0) {
      if (mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT | IN_IGNORED))
        return FolderEvent{Kind::kGone, event.wd, ""};
      if (mask & IN_ATTRIB) return FolderEvent{Kind::kChanged, event.wd, ""};
      return std::nullopt;
    }
    const std::string name = event.name;
    if (mask & IN_ISDIR) {
      if (mask & (IN_CREATE | IN_MOVED_TO)) return FolderEvent{Kind::kFolderCame, event.wd, name};
      if (mask & (IN_DELETE | IN_MOVED_FROM)) return FolderEvent{Kind::kFolderWent, event.wd, name};
      return std::nullopt;
    }
    if (mask & (IN_CLOSE_WRITE | IN_MOVED_TO)) return FolderEvent{Kind::kWritten, event.wd, name};
    if (mask & (IN_DELETE | IN_MOVED_FROM)) return FolderEvent{Kind::kRemoved, event.wd, name};
    return std::nullopt;
  }

  int fd_ = -1;
  int wake_ = -1;
  std::map<dev_t, bool> devices_;
};

}  // namespace

std::unique_ptr<platform::FolderWatch> MakeFolderWatch() {
  return std::make_unique<InotifyFolderWatch>();
}

}  // namespace slidesaver::linux_platform

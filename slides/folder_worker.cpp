// The folder's worker: each round it takes in what happened in the folder, then does one
// bounded piece of work, the most wanted first: the next slide's picture, a set-aside picture
// looked at again, files examined, a folder walked. The lock is never held while a file is read,
// so the form's waits stay short.
#include <algorithm>

#include "common/run_time_error.h"
#include "slides/folder_slides.h"
#include "slides/picture_file.h"

namespace slidesaver {
namespace {

using platform::FolderEvent;

// A file written longer ago than this that fails is complete: it is named and left out at once.
// One written since, or dated in the future, is set aside and looked at again after kLookAgain;
// failing then unchanged, it is named and left out.
constexpr auto kSettleTime = std::chrono::seconds(2);
constexpr auto kLookAgain = std::chrono::seconds(1);
// How often a lost folder is looked for.
constexpr auto kLostFolderWait = std::chrono::seconds(1);
// While the walk goes on, the first picture is prepared from what it found in this time, so that
// a small folder starts in its own order and a large one starts at once.
constexpr auto kWalkHeadStart = std::chrono::milliseconds(300);
// Files are examined for at most this long between two looks at the folder's events.
constexpr auto kExamineSlice = std::chrono::milliseconds(50);

bool AtOrBelow(const std::string& path, const std::string& folder) {
  return path == folder || path.starts_with(folder + "/");
}

int64_t NowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

}  // namespace

void FolderSlides::Work() {
  std::unique_lock lock(mutex_);
  while (!stop_) {
    const int wait_ms = WaitMilliseconds();
    lock.unlock();
    const std::vector<FolderEvent> events = services_.folders.Wait(wait_ms);
    lock.lock();
    if (stop_) break;
    if (lost_) {
      if (Clock::now() >= look_for_folder_ && Find(lock).empty()) changed_.notify_all();
      continue;
    }
    Apply(events, lock);
    if (lost_ || stop_) continue;
    if (PreparationWanted()) {
      PrepareNext(lock);
    } else if (!arrived_.empty() || !found_.empty()) {
      ExamineSome(lock);
    } else if (LookAgainDue()) {
      LookAgain();
    } else if (walk_ && !walk_->Done()) {
      WalkOn(lock);
    }
    const bool walking = (walk_ && !walk_->Done()) || !found_.empty();
    if (walking != walking_) {
      walking_ = walking;
      changed_.notify_all();
    }
  }
}

bool FolderSlides::PreparationWanted() const {
  return !ready_ && !preparing_ && !order_.Empty() &&
         (!walking_ || Clock::now() - walk_began_ >= kWalkHeadStart);
}

bool FolderSlides::LookAgainDue() const {
  const Clock::time_point now = Clock::now();
  return std::any_of(set_aside_.begin(), set_aside_.end(),
                     [&](const auto& aside) { return aside.second.again <= now; });
}

int FolderSlides::WaitMilliseconds() const {
  const auto until = [](Clock::time_point when) {
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(when - Clock::now()).count();
    return static_cast<int>(std::clamp<int64_t>(wait, 0, 1000));
  };
  if (lost_) return until(look_for_folder_);
  if (PreparationWanted() || !arrived_.empty() || !found_.empty() || (walk_ && !walk_->Done())) {
    return 0;
  }
  Clock::time_point first = Clock::time_point::max();
  for (const auto& [path, aside] : set_aside_) first = std::min(first, aside.again);
  return first == Clock::time_point::max() ? -1 : until(first);
}

std::string FolderSlides::Find(std::unique_lock<std::mutex>& lock) {
  lock.unlock();
  WalkLimits limits;
  limits.watch = true;
  auto walk =
      std::make_unique<FolderWalk>(services_.files, services_.folders, options_.folder, limits);
  lock.lock();
  if (!walk->Problem().empty()) {
    look_for_folder_ = Clock::now() + kLostFolderWait;
    return walk->Problem();
  }
  for (const std::string& note : walk->TakeNotes()) Report(note);
  walk_ = std::move(walk);
  lost_ = false;
  walking_ = true;
  walk_began_ = Clock::now();
  return {};
}

void FolderSlides::Lose() {
  walk_.reset();
  found_.clear();
  arrived_.clear();
  order_.Clear();
  ready_.reset();
  if (preparing_) preparing_dropped_ = true;
  set_aside_.clear();
  lost_ = true;
  walking_ = false;
  look_for_folder_ = Clock::now() + kLostFolderWait;
  changed_.notify_all();
}

void FolderSlides::Apply(const std::vector<FolderEvent>& events,
                         std::unique_lock<std::mutex>& lock) {
  if (events.empty() || !walk_) return;
  // What the events mean, worked out without the lock: the walk looks at the folders.
  struct Change {
    std::string path;
    bool arrived;  // written: examined anew; else only forgotten
  };
  std::vector<Change> changes;
  bool lose = false;
  lock.unlock();
  for (const FolderEvent& event : events) {
    if (event.kind == FolderEvent::Kind::kOverflow) {
      lose = true;  // what was missed is found by walking the folder anew
      break;
    }
    const std::optional<std::string> path = walk_->PathOf(event);
    if (!path) continue;
    switch (event.kind) {
      case FolderEvent::Kind::kGone:
        if (walk_->IsTop(event.watch)) lose = true;
        walk_->Went(*path);
        break;
      case FolderEvent::Kind::kChanged:
        lose = walk_->IsTop(event.watch) && !services_.files.FolderEntries(*path);
        break;
      case FolderEvent::Kind::kFolderCame:
        walk_->Came(event);
        break;
      case FolderEvent::Kind::kFolderWent:
        walk_->Went(*path);
        changes.push_back({*path, false});
        break;
      case FolderEvent::Kind::kWritten:
        changes.push_back({*path, true});
        break;
      case FolderEvent::Kind::kRemoved:
        changes.push_back({*path, false});
        break;
      case FolderEvent::Kind::kOverflow:
        break;
    }
    if (lose) break;
  }
  lock.lock();
  if (lose) {
    Lose();
    look_for_folder_ = Clock::now();
    return;
  }
  for (const Change& change : changes) {
    Forget(change.path);
    // It comes after the picture prepared already, before the rest.
    if (change.arrived) arrived_.push_back({change.path, true});
  }
  changed_.notify_all();
}

void FolderSlides::Forget(const std::string& path) {
  order_.Remove(path);
  std::erase_if(set_aside_, [&](const auto& aside) { return AtOrBelow(aside.first, path); });
  std::erase_if(found_, [&](const WalkedFile& file) { return AtOrBelow(file.path, path); });
  std::erase_if(arrived_, [&](const WalkedFile& file) { return AtOrBelow(file.path, path); });
  if (ready_ && AtOrBelow(ready_->path, path)) ready_.reset();
  if (preparing_ && AtOrBelow(*preparing_, path)) preparing_dropped_ = true;
}

void FolderSlides::WalkOn(std::unique_lock<std::mutex>& lock) {
  std::vector<WalkedFile> walked;
  lock.unlock();
  walk_->Step(walked);
  const std::vector<std::string> notes = walk_->TakeNotes();
  lock.lock();
  for (const std::string& note : notes) Report(note);
  for (WalkedFile& file : walked) (file.came ? arrived_ : found_).push_back(std::move(file));
}

void FolderSlides::ExamineSome(std::unique_lock<std::mutex>& lock) {
  struct Examined {
    WalkedFile file;
    platform::FileResult<std::optional<FoundPicture>> found;
    platform::FileResult<platform::EntryFacts> facts;
  };
  std::vector<Examined> done;
  const Clock::time_point end = Clock::now() + kExamineSlice;
  // Arrivals first; the worker alone takes from the queues, so they are its own meanwhile.
  std::deque<WalkedFile>& queue = arrived_.empty() ? found_ : arrived_;
  std::deque<WalkedFile> taken;
  while (!queue.empty() && taken.size() < 64) {
    taken.push_back(std::move(queue.front()));
    queue.pop_front();
  }
  lock.unlock();
  std::vector<std::string> notes;  // a damaged header is named when the picture is prepared
  for (WalkedFile& file : taken) {
    if (abandon_.load() || Clock::now() >= end) break;
    auto found = FindPicture(services_, file.path, notes);
    auto facts = found ? platform::FileResult<platform::EntryFacts>::Failed("")
                       : services_.folders.Facts(file.path);
    done.push_back({std::move(file), std::move(found), std::move(facts)});
  }
  lock.lock();
  // What the slice did not reach goes back to the front.
  for (size_t i = taken.size(); i-- > done.size();) queue.push_front(std::move(taken[i]));
  for (Examined& examined : done) {
    const std::string& path = examined.file.path;
    if (!examined.found) {
      Failed(path, examined.found.reason(), examined.facts);
    } else if (*examined.found) {
      order_.Add(path, (*examined.found)->time_taken, examined.file.came);
      if (examined.file.came) reported_.erase(path);
    }
  }
  changed_.notify_all();
}

void FolderSlides::LookAgain() {
  const Clock::time_point now = Clock::now();
  for (auto& [path, aside] : set_aside_) {
    if (aside.again > now) continue;
    // Still set aside: failing again unchanged, it has settled.
    aside.again = Clock::time_point::max();
    found_.push_front({path, false});
  }
}

void FolderSlides::PrepareNext(std::unique_lock<std::mutex>& lock) {
  const std::optional<std::string> path = order_.Next();
  preparing_ = path;
  preparing_dropped_ = false;
  lock.unlock();
  std::optional<PreparedSlide> slide;
  std::string failure;
  try {
    PictureBytes read = ReadPictureBytes(services_.files, services_.folders, *path, abandon_);
    if (read.problem.empty()) {
      slide = services_.preparer.Prepare(read.bytes, area_, abandon_);
    } else {
      failure = *path + ": " + read.problem;
    }
  } catch (const std::bad_alloc&) {
    failure = *path + ": out of memory";
  } catch (const RunTimeError& error) {
    failure = *path + ": " + error.Description();
  } catch (const std::exception& error) {
    failure = *path + " " + error.what();
  }
  platform::FileResult<platform::EntryFacts> facts = services_.folders.Facts(*path);
  // A folder that became unreadable fails its pictures: it is lost, not they.
  const bool folder_readable = slide || services_.files.FolderEntries(options_.folder).ok();
  lock.lock();
  preparing_.reset();
  if (stop_ || lost_ || preparing_dropped_) {
    // Ended, or removed or written anew meanwhile: what comes of it now is in the order.
  } else if (!folder_readable) {
    Lose();
  } else if (!slide) {
    Failed(*path, failure, facts);
  } else {
    set_aside_.erase(*path);
    ready_ = Prepared{*path, std::move(*slide)};
  }
  changed_.notify_all();
}

void FolderSlides::Failed(const std::string& path, const std::string& reason,
                          const platform::FileResult<platform::EntryFacts>& facts) {
  order_.Remove(path);
  if (!facts) {
    // Gone meanwhile: its removal is on its way.
    set_aside_.erase(path);
    return;
  }
  const auto aside = set_aside_.find(path);
  const bool settled =
      NowNs() - facts->written_ns >= std::chrono::nanoseconds(kSettleTime).count() ||
      (aside != set_aside_.end() && aside->second.facts == *facts);
  if (!settled) {
    set_aside_[path] = {*facts, Clock::now() + kLookAgain};
    return;
  }
  set_aside_.erase(path);
  if (reported_.insert(path).second) Report(reason + "; skipped");
}

}  // namespace slidesaver

#include "photos/folder_slides.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <utility>
#include <vector>

#include "common/run_time_error.h"
#include "media/memory_bounds.h"
#include "media/picture_header.h"
#include "photos/mapped_file.h"
#include "photos/message_picture.h"
#include "photos/photo_error.h"
#include "photos/picture_list.h"

namespace slidesaver::photos {
namespace {

namespace fs = std::filesystem;

constexpr int32_t kSlides = 2;
// While the folder holds no picture, the message is looked at again this often.
constexpr int32_t kMessageTime = 1000;
// A file written longer ago than this that fails is complete: it is named and left out at once.
// One written since, or dated in the future, is set aside and looked at again after kLookAgain;
// failing then unchanged, it is named and left out.
constexpr auto kSettleTime = std::chrono::seconds(2);
constexpr auto kLookAgain = std::chrono::seconds(1);
// How often a lost folder is looked for.
constexpr int kLostFolderMs = 1000;
// The show's first slide waits no longer than this for its picture: the show starts, and the
// picture comes with the next slide.
constexpr auto kFirstPictureWait = std::chrono::seconds(1);

// The whole file, read where it is (not mapped: a file cut short while it is read must not
// end the process), at most the players' largest picture file.
std::vector<uint8_t> ReadPictureFile(const fs::path& path) {
  struct stat status {};
  const int fd = OpenWithoutWaiting(path, status);
  if (fd < 0) throw FileError(path.string(), "cannot open");
  struct Closer {
    int fd;
    ~Closer() { close(fd); }
  } closer{fd};
  if (!S_ISREG(status.st_mode)) throw PhotoError(path.string() + ": not an ordinary file");
  if (static_cast<uint64_t>(status.st_size) > media::kMaxPictureFileBytes) {
    throw PhotoError(path.string() + ": a file larger than the largest picture the player shows");
  }
  std::vector<uint8_t> bytes(static_cast<size_t>(status.st_size));
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = read(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw FileError(path.string(), "cannot read");
    if (n == 0) break;
    done += static_cast<size_t>(n);
  }
  bytes.resize(done);
  return bytes;
}

PreparedBitmap PrepareFile(const fs::path& path, const PrepareSettings& settings,
                           const std::atomic<bool>& abandon) {
  const std::vector<uint8_t> bytes = ReadPictureFile(path);
  std::optional<PictureFacts> facts;
  try {
    facts = ReadPictureFacts(bytes);
  } catch (const PhotoError& error) {
    throw PhotoError(path.string() + " " + error.what());
  }
  if (!facts) throw PhotoError(path.string() + " is no longer a picture");
  // The players' own bound, and the whole picture in the file, before any pixel is decoded.
  if (facts->format != media::PictureFormat::kHeif) {
    const std::string problem = media::CheckPictureBeforeDecoding(bytes);
    if (!problem.empty()) throw PhotoError(path.string() + ": " + problem);
  } else if (int64_t{facts->width} * facts->height > media::kMaxDecodedPicturePixels) {
    throw PhotoError(path.string() + ": a HEIF picture of more than " +
                     media::WithThousands(media::kMaxDecodedPicturePixels) + " pixels");
  }
  try {
    return PrepareBitmap(bytes, *facts, settings, abandon);
  } catch (const PhotoError& error) {
    throw PhotoError(path.string() + " " + error.what());
  }
}

bool Readable(const fs::path& folder) {
  std::error_code error;
  fs::directory_iterator listing(folder, error);
  return !error;
}

}  // namespace

FolderSlides::FolderSlides(const FolderShowOptions& options, int32_t width, int32_t height,
                           std::function<void(const std::string&)> report)
    : options_(options),
      report_(std::move(report)),
      effects_(EffectPlan::Parse(options.effects, options.seed)),
      order_(options.order, options.seed) {
  prepare_.area_width = width;
  prepare_.area_height = height;
  prepare_.fit = options.fit;
  prepare_.background = options.background;
  show_.ShowWidth = width;
  show_.ShowHeight = height;
  show_.BackgroundColor = options.background;
  show_.BgmFileName = options.music;
  show_.SlideCount = kSlides;
  show_.Slides.resize(kSlides);
  wake_fd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  if (wake_fd_ < 0) throw FileError(options.folder.string(), "cannot watch the folder");
  std::unique_lock lock(mutex_);
  if (!Find(lock)) {
    close(wake_fd_);
    throw PhotoError(options.folder.string() + ": cannot read the folder");
  }
  lock.unlock();
  worker_ = std::thread([this] { Work(); });
}

FolderSlides::~FolderSlides() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  abandon_ = true;
  Wake();
  worker_.join();
  close(wake_fd_);
}

void FolderSlides::Wake() {
  const uint64_t one = 1;
  (void)!write(wake_fd_, &one, sizeof one);
}

size_t FolderSlides::PictureCount() {
  std::lock_guard lock(mutex_);
  return order_.Size();
}

const SlideEntry& FolderSlides::Slide(int32_t index) const {
  if (index < 0 || index >= kSlides) throw SubscriptOutOfRangeError();
  return show_.Slides[static_cast<size_t>(index)];
}

bool FolderSlides::Answerable() const {
  if (ready_ || lost_ || (!preparing_ && order_.Empty())) return true;
  return !handed_out_ && first_wait_ && Clock::now() - *first_wait_ >= kFirstPictureWait;
}

bool FolderSlides::WaitForPicture(int32_t index, int32_t milliseconds) {
  if (index < 0 || index >= kSlides) throw SubscriptOutOfRangeError();
  std::unique_lock lock(mutex_);
  if (!handed_out_ && !first_wait_) first_wait_ = Clock::now();
  return changed_.wait_for(lock, std::chrono::milliseconds(std::max(milliseconds, 0)),
                           [&] { return Answerable(); });
}

gdi::Bitmap FolderSlides::Picture(int32_t index) {
  if (index < 0 || index >= kSlides) throw SubscriptOutOfRangeError();
  SlideEntry& slide = show_.Slides[static_cast<size_t>(index)];
  std::optional<Prepared> next;
  bool coming = false;
  {
    std::lock_guard lock(mutex_);
    handed_out_ = true;
    next = std::move(ready_);
    ready_.reset();
    coming = !lost_ && (preparing_ || !order_.Empty());
  }
  Wake();  // the worker prepares the one after
  slide.Overlay = 0;
  slide.Transparent = 0;
  slide.SpeedExponent = options_.speed;
  slide.EffectNumber = 0;
  slide.PictureFileName.clear();
  if (next) {
    slide.PictureFileName = next->path;
    slide.PictureX = next->bitmap.x;
    slide.PictureY = next->bitmap.y;
    slide.DisplayTime = options_.time;
    slide.EffectNumber = effects_.Next();
    return std::move(next->bitmap.picture);
  }
  if (coming) {
    // Not prepared yet: the background, and at once the next slide waits for it.
    slide.PictureX = slide.PictureY = 0;
    slide.DisplayTime = 0;
    return gdi::Bitmap();
  }
  if (!message_) {
    message_ = MessagePicture("No pictures in " + options_.folder.string() +
                                  " yet.\nPictures copied there are shown as they arrive.",
                              show_.ShowWidth * 9 / 10, options_.background);
  }
  slide.PictureX = (show_.ShowWidth - message_->Width()) / 2;
  slide.PictureY = (show_.ShowHeight - message_->Height()) / 2;
  slide.DisplayTime = kMessageTime;
  return *message_;
}

std::optional<std::string> FolderSlides::PathOf(const std::string& stored_name) const {
  if (!stored_name.empty() && stored_name == options_.music) return stored_name;
  return std::nullopt;
}

int FolderSlides::WaitMilliseconds() const {
  if (lost_) return kLostFolderMs;
  if (!ready_ && !order_.Empty()) return 0;
  Clock::time_point first = Clock::time_point::max();
  for (const auto& [path, aside] : set_aside_) first = std::min(first, aside.again);
  if (first == Clock::time_point::max()) return -1;
  const auto wait = std::chrono::ceil<std::chrono::milliseconds>(first - Clock::now()).count();
  return static_cast<int>(std::clamp<int64_t>(wait, 0, kLostFolderMs));
}

void FolderSlides::Work() {
  std::unique_lock lock(mutex_);
  while (!stop_) {
    const int wait_ms = WaitMilliseconds();
    const int watch_fd = watch_ ? watch_->Descriptor() : -1;
    lock.unlock();
    pollfd waits[2] = {{wake_fd_, POLLIN, 0}, {watch_fd, POLLIN, 0}};
    if (poll(waits, watch_fd >= 0 ? 2 : 1, wait_ms) > 0 && (waits[0].revents & POLLIN)) {
      uint64_t count = 0;
      (void)!read(wake_fd_, &count, sizeof count);
    }
    lock.lock();
    if (stop_) break;
    if (lost_) {
      if (Find(lock)) changed_.notify_all();
      continue;
    }
    if (watch_) {
      const std::vector<FolderChange> changes = watch_->Read();
      Apply(changes, lock);
    }
    if (lost_ || stop_) continue;
    LookAgain(lock);
    PrepareNext(lock);
  }
}

bool FolderSlides::Find(std::unique_lock<std::mutex>& lock) {
  lock.unlock();
  std::unique_ptr<FolderWatch> watch;
  PictureList found;
  bool readable = Readable(options_.folder);
  if (readable) {
    try {
      // Watched before it is searched: a picture that comes meanwhile is found at least once.
      watch = std::make_unique<FolderWatch>(options_.folder);
      found = FindPictures({options_.folder}, PictureOrder::kName);
    } catch (const PhotoError&) {
      readable = false;
    }
  }
  lock.lock();
  if (!readable) return false;
  watch_ = std::move(watch);
  lost_ = false;
  for (const FoundPicture& picture : found.pictures) {
    order_.Add(picture.path.string(), picture.time_taken, false);
  }
  return true;
}

void FolderSlides::Lose() {
  lost_ = true;
  watch_.reset();
  order_.Remove(options_.folder.string());
  ready_.reset();
  if (preparing_) preparing_dropped_ = true;
  set_aside_.clear();
  changed_.notify_all();
}

void FolderSlides::Apply(const std::vector<FolderChange>& changes,
                         std::unique_lock<std::mutex>& lock) {
  for (const FolderChange& change : changes) {
    const std::string path = change.path.string();
    // Removed, moved away, or no longer readable: nothing of it plays until it is back.
    if (change.kind == FolderChange::Kind::kFolderGone ||
        (change.kind == FolderChange::Kind::kFolderChanged && !Readable(change.path))) {
      Lose();
      return;
    }
    if (change.kind == FolderChange::Kind::kFolderChanged) continue;
    const auto below = [&](const std::string& other) {
      return other == path || other.starts_with(path + "/");
    };
    order_.Remove(path);
    std::erase_if(set_aside_, [&](const auto& aside) { return below(aside.first); });
    if (ready_ && below(ready_->path)) ready_.reset();
    if (preparing_ && below(*preparing_)) preparing_dropped_ = true;
    if (change.kind == FolderChange::Kind::kRemoved) continue;
    // Its content decides whether it is a picture, read without the lock held.
    lock.unlock();
    std::optional<FoundPicture> found;
    std::string failure;
    try {
      std::vector<std::string> notes;
      found = FindPicture(change.path, notes);
    } catch (const PhotoError& error) {
      failure = error.what();
    }
    lock.lock();
    if (!failure.empty()) Failed(path, failure);
    if (!found) continue;
    // It comes after the picture prepared already, before the rest.
    order_.Add(path, found->time_taken, true);
    reported_.erase(path);
  }
  if (!changes.empty()) changed_.notify_all();
}

void FolderSlides::LookAgain(std::unique_lock<std::mutex>& lock) {
  const Clock::time_point now = Clock::now();
  std::vector<std::string> due;
  for (const auto& [path, aside] : set_aside_) {
    if (aside.again <= now && !order_.Contains(path)) due.push_back(path);
  }
  for (const std::string& path : due) {
    lock.unlock();
    std::optional<FoundPicture> found;
    std::string failure;
    try {
      std::vector<std::string> notes;
      found = FindPicture(path, notes);
    } catch (const PhotoError& error) {
      failure = error.what();
    }
    lock.lock();
    if (stop_ || lost_ || !set_aside_.contains(path)) continue;
    if (found) {
      order_.Add(path, found->time_taken, false);
      // Still set aside: failing again unchanged, it has settled.
      set_aside_[path].again = Clock::time_point::max();
    } else {
      Failed(path, failure.empty() ? path + " is no longer a picture" : failure);
    }
  }
}

void FolderSlides::PrepareNext(std::unique_lock<std::mutex>& lock) {
  if (ready_ || order_.Empty()) return;
  const std::optional<std::string> path = order_.Next();
  preparing_ = path;
  preparing_dropped_ = false;
  lock.unlock();
  std::optional<PreparedBitmap> bitmap;
  std::string failure;
  try {
    bitmap = PrepareFile(*path, prepare_, abandon_);
  } catch (const PhotoError& error) {
    failure = error.what();
  } catch (const RunTimeError& error) {
    failure = *path + ": " + error.Description();
  } catch (const std::bad_alloc&) {
    failure = *path + ": out of memory";
  }
  lock.lock();
  preparing_.reset();
  if (stop_ || lost_ || preparing_dropped_) {
    // Ended, or removed or written anew meanwhile: what comes of it now is in the order.
  } else if (!bitmap) {
    // A folder that became unreadable fails its pictures: it is lost, not they.
    if (!Readable(options_.folder)) {
      Lose();
    } else {
      Failed(*path, failure);
    }
  } else {
    set_aside_.erase(*path);
    ready_ = Prepared{*path, std::move(*bitmap)};
  }
  changed_.notify_all();
}

void FolderSlides::Failed(const std::string& path, const std::string& reason) {
  order_.Remove(path);
  std::error_code error;
  FileState state{fs::file_size(path, error), {}};
  if (!error) state.written = fs::last_write_time(path, error);
  if (error) {
    // Gone meanwhile: its removal is on its way.
    set_aside_.erase(path);
    return;
  }
  const auto age = fs::file_time_type::clock::now() - state.written;
  const auto aside = set_aside_.find(path);
  const bool settled =
      age >= kSettleTime || (aside != set_aside_.end() && aside->second.state == state);
  if (!settled) {
    set_aside_[path] = {state, Clock::now() + kLookAgain};
    return;
  }
  set_aside_.erase(path);
  if (reported_.insert(path).second) report_(reason + "; skipped");
}

}  // namespace slidesaver::photos

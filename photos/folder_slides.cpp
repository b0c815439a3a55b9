#include "photos/folder_slides.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

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
// A file written this recently that fails may still be being written: it is skipped without a
// word, and taken again when its writer closes it.
constexpr auto kSettleTime = std::chrono::seconds(2);
constexpr int kRetryMs = 250;

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

PreparedBitmap PrepareFile(const fs::path& path, const PrepareSettings& settings) {
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
    return PrepareBitmap(bytes, *facts, settings);
  } catch (const PhotoError& error) {
    throw PhotoError(path.string() + " " + error.what());
  }
}

bool Settled(const fs::path& path) {
  std::error_code error;
  const auto written = fs::last_write_time(path, error);
  return !error && fs::file_time_type::clock::now() - written >= kSettleTime;
}

}  // namespace

FolderSlides::FolderSlides(const FolderShowOptions& options, int32_t width, int32_t height,
                           std::function<void(const std::string&)> report)
    : options_(options),
      report_(std::move(report)),
      effects_(EffectPlan::Parse(options.effects, options.seed)),
      watch_(options.folder),
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
  // Watched before it is searched: a picture that comes meanwhile is found at least once.
  PictureList found = FindPictures({options.folder}, PictureOrder::kName);
  for (const FoundPicture& picture : found.pictures) {
    order_.Add(picture.path.string(), picture.time_taken, false);
  }
  wake_fd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  if (wake_fd_ < 0) throw FileError(options.folder.string(), "cannot watch the folder");
  worker_ = std::thread([this] { Work(); });
}

FolderSlides::~FolderSlides() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
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

gdi::Bitmap FolderSlides::Picture(int32_t index) {
  if (index < 0 || index >= kSlides) throw SubscriptOutOfRangeError();
  SlideEntry& slide = show_.Slides[static_cast<size_t>(index)];
  std::optional<Prepared> next;
  {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return ready_ || (!preparing_ && order_.Empty()); });
    next = std::move(ready_);
    ready_.reset();
  }
  Wake();  // the worker prepares the one after
  slide.Overlay = 0;
  slide.Transparent = 0;
  slide.SpeedExponent = options_.speed;
  if (next) {
    slide.PictureFileName = next->path;
    slide.PictureX = next->bitmap.x;
    slide.PictureY = next->bitmap.y;
    slide.DisplayTime = options_.time;
    slide.EffectNumber = effects_.Next();
    return std::move(next->bitmap.picture);
  }
  if (!message_) {
    message_ = MessagePicture("No pictures in " + options_.folder.string() +
                                  " yet.\nPictures copied there are shown as they arrive.",
                              show_.ShowWidth * 9 / 10, options_.background);
  }
  slide.PictureFileName.clear();
  slide.PictureX = (show_.ShowWidth - message_->Width()) / 2;
  slide.PictureY = (show_.ShowHeight - message_->Height()) / 2;
  slide.DisplayTime = kMessageTime;
  slide.EffectNumber = 0;
  return *message_;
}

std::optional<std::string> FolderSlides::PathOf(const std::string& stored_name) const {
  if (!stored_name.empty() && stored_name == options_.music) return stored_name;
  return std::nullopt;
}

void FolderSlides::Work() {
  std::unique_lock lock(mutex_);
  while (!stop_) {
    const bool wanted = !ready_ && !order_.Empty();
    // After a picture that may still be written failed, the next try waits a moment.
    const int wait_ms = !wanted ? -1 : std::exchange(retry_soon_, false) ? kRetryMs : 0;
    lock.unlock();
    pollfd waits[2] = {{watch_.Descriptor(), POLLIN, 0}, {wake_fd_, POLLIN, 0}};
    if (poll(waits, 2, wait_ms) > 0 && (waits[1].revents & POLLIN)) {
      uint64_t count = 0;
      (void)!read(wake_fd_, &count, sizeof count);
    }
    const std::vector<FolderChange> changes = watch_.Read();
    lock.lock();
    if (stop_) break;
    Apply(changes, lock);
    PrepareNext(lock);
  }
}

void FolderSlides::Apply(const std::vector<FolderChange>& changes,
                         std::unique_lock<std::mutex>& lock) {
  bool arrived = false;
  for (const FolderChange& change : changes) {
    const std::string path = change.path.string();
    const auto below = [&](const std::string& other) {
      return other == path || other.starts_with(path + "/");
    };
    order_.Remove(path);
    if (ready_ && below(ready_->path)) ready_.reset();
    if (preparing_ && below(*preparing_)) preparing_dropped_ = true;
    if (change.kind == FolderChange::Kind::kRemoved) continue;
    // Its content decides whether it is a picture, read without the lock held.
    lock.unlock();
    std::optional<FoundPicture> found;
    try {
      std::vector<std::string> notes;
      found = FindPicture(change.path, notes);
    } catch (const PhotoError&) {
      // Gone again, or unreadable: nothing to show.
    }
    lock.lock();
    if (!found) continue;
    order_.Add(path, found->time_taken, true);
    reported_.erase(path);
    arrived = true;
  }
  // A picture that came while the show plays overtakes the one prepared for the next slide.
  if (arrived && ready_ && !ready_->arrived) {
    order_.PutBack(ready_->path);
    ready_.reset();
  }
  if (!changes.empty()) changed_.notify_all();
}

void FolderSlides::PrepareNext(std::unique_lock<std::mutex>& lock) {
  if (ready_ || order_.Empty()) return;
  const bool arrived = order_.ArrivalsWaiting();
  const std::optional<std::string> path = order_.Next();
  preparing_ = path;
  preparing_dropped_ = false;
  lock.unlock();
  std::optional<PreparedBitmap> bitmap;
  std::string failure;
  try {
    bitmap = PrepareFile(*path, prepare_);
  } catch (const PhotoError& error) {
    failure = error.what();
  } catch (const RunTimeError& error) {
    failure = *path + ": " + error.Description();
  } catch (const std::bad_alloc&) {
    failure = *path + ": out of memory";
  }
  lock.lock();
  preparing_.reset();
  if (preparing_dropped_) {
    // Removed or written anew meanwhile: what comes of it now is in the order.
  } else if (!bitmap) {
    Skip(*path, failure);
  } else if (!arrived && order_.ArrivalsWaiting()) {
    order_.PutBack(*path);
  } else {
    ready_ = Prepared{*path, std::move(*bitmap), arrived};
  }
  changed_.notify_all();
}

void FolderSlides::Skip(const std::string& path, const std::string& reason) {
  // One written moments ago may still be being written: it stays in the order and is tried
  // again later (its writer's close brings it back at once), and is named only once it has
  // settled. Dropped now, a picture whose last write came before the watch would never return.
  if (!Settled(path)) {
    retry_soon_ = true;
    return;
  }
  order_.Remove(path);
  if (reported_.insert(path).second) report_(reason + "; skipped");
}

}  // namespace slidesaver::photos

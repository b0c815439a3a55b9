// The folder's slides as the show form takes them; the worker's round is in folder_worker.cpp.
#include "slides/folder_slides.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "common/run_time_error.h"
#include "media/sound_header.h"

namespace slidesaver {
namespace {

constexpr int32_t kSlides = 2;
// While the folder holds no picture, the message is looked at again this often.
constexpr int32_t kMessageTime = 1000;
// The show's first slide waits no longer than this for its picture: the show starts, and the
// picture comes with the next slide.
constexpr auto kFirstPictureWait = std::chrono::seconds(1);

// Why the music can't be played, or "" when it can.
std::string MusicProblem(platform::FileSystem& files, const std::string& music) {
  const auto opened = files.OpenForReading(music);
  if (!opened) return opened.reason();
  return media::CheckSoundBeforeDecoding(**opened, media::SoundUse::kMusic);
}

}  // namespace

FolderSlides::FolderSlides(const FolderServices& services, const FolderShowOptions& options,
                           int32_t width, int32_t height,
                           std::function<void(const std::string&)> report)
    : services_(services),
      options_(options),
      report_(std::move(report)),
      effects_(EffectPlan::Parse(options.effects, options.seed)),
      order_(options.order, options.seed) {
  area_ = {width, height, options.fit, options.background};
  show_.ShowWidth = width;
  show_.ShowHeight = height;
  show_.BackgroundColor = options.background;
  show_.SlideCount = kSlides;
  show_.Slides.resize(kSlides);
  if (!options_.music.empty()) {
    const std::string problem = MusicProblem(services_.files, options_.music);
    if (problem.empty()) {
      show_.BgmFileName = options_.music;
    } else {
      Report(options_.music + ": " + problem + "; the show plays without music");
      options_.music.clear();
    }
  }
  std::unique_lock lock(mutex_);
  const std::string problem = Find(lock);
  if (!problem.empty()) throw std::runtime_error(options_.folder + ": " + problem);
  lock.unlock();
  worker_ = std::thread([this] { Work(); });
}

FolderSlides::~FolderSlides() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  abandon_ = true;
  services_.folders.Wake();
  worker_.join();
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
  // With no picture known, the first slide waits for the walk to find one; later ones say so.
  if (ready_ || lost_ || (!preparing_ && order_.Empty() && (!walking_ || handed_out_))) {
    return true;
  }
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
  services_.folders.Wake();  // the worker prepares the one after
  slide.Overlay = 0;
  slide.Transparent = 0;
  slide.SpeedExponent = options_.speed;
  slide.EffectNumber = 0;
  slide.PictureFileName.clear();
  if (next) {
    slide.PictureFileName = next->path;
    slide.PictureX = next->slide.x;
    slide.PictureY = next->slide.y;
    slide.DisplayTime = options_.time;
    slide.EffectNumber = effects_.Next();
    return std::move(next->slide.picture);
  }
  if (coming) {
    // Not prepared yet: the background, and at once the next slide waits for it.
    slide.PictureX = slide.PictureY = 0;
    slide.DisplayTime = 0;
    return gdi::Bitmap();
  }
  const gdi::Bitmap message = Message();
  slide.PictureX = (show_.ShowWidth - message.Width()) / 2;
  slide.PictureY = (show_.ShowHeight - message.Height()) / 2;
  slide.DisplayTime = kMessageTime;
  return message;
}

gdi::Bitmap FolderSlides::Message() {
  if (!message_) {
    message_ =
        services_.preparer.Message("No pictures in " + options_.folder +
                                       " yet.\nPictures copied there are shown as they arrive.",
                                   show_.ShowWidth * 9 / 10, options_.background);
  }
  return *message_;
}

std::optional<std::string> FolderSlides::PathOf(const std::string& stored_name) const {
  if (!stored_name.empty() && stored_name == options_.music) return stored_name;
  return std::nullopt;
}

void FolderSlides::Report(const std::string& line) {
  if (report_) report_(line);
}

}  // namespace slidesaver

#pragma once
// The pictures of a folder as the show's slides, read where they are. The show form plays a
// show of two slides whose entries this source fills in turn: each time the form asks for the
// picture of one, it gets the next picture of the order, prepared as `slidepack build` prepares
// it for the show area. One worker thread watches the folder and prepares the next picture
// while the current one is on the screen, so only the shown picture and the next are held
// decoded; the form waits for it only when preparing takes longer than a slide stays.
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>

#include "package/slide_source.h"
#include "photos/effect_plan.h"
#include "photos/folder_watch.h"
#include "photos/prepare_picture.h"
#include "photos/show_order.h"

namespace slidesaver::photos {

struct FolderShowOptions {
  std::filesystem::path folder;
  int32_t time = 5000;  // milliseconds each picture stays
  std::string effects = "random";
  int32_t speed = 0;
  FolderOrder order = FolderOrder::kShuffle;
  Fit fit = Fit::kContain;
  int32_t background = 0;  // 0x00BBGGRR
  std::string music;       // a file looped as the show's music; empty: none
  uint32_t seed = 0;       // of the shuffle and the random effects
};

class FolderSlides : public SlideSource {
 public:
  // Finds the folder's pictures, starts watching it and prepares the first picture for an area
  // of `width` x `height`. `report` gets one line for each picture that can't be shown.
  // Throws PhotoError for a folder that can't be read.
  FolderSlides(const FolderShowOptions& options, int32_t width, int32_t height,
               std::function<void(const std::string&)> report);
  ~FolderSlides() override;
  FolderSlides(const FolderSlides&) = delete;
  FolderSlides& operator=(const FolderSlides&) = delete;

  // The show the form plays: the area, its background, the music and the two slides.
  const PackageHeader& Show() const { return show_; }

  // How many pictures the show knows now (what the folder held, with what came and went).
  size_t PictureCount();

  const SlideEntry& Slide(int32_t index) const override;
  // The next picture, or, while the folder holds none, a message saying so.
  gdi::Bitmap Picture(int32_t index) override;
  std::optional<std::string> PathOf(const std::string& stored_name) const override;
  std::vector<std::string> KnownCauses() const override { return {}; }

 private:
  struct Prepared {
    std::string path;
    PreparedBitmap bitmap;
    bool arrived = false;  // a picture that came while the show played, or one put back
  };

  void Work();
  void Wake();
  // Takes in what changed in the folder; called with the lock held.
  void Apply(const std::vector<FolderChange>& changes, std::unique_lock<std::mutex>& lock);
  // The next picture of the order, prepared, or nothing when there is none to prepare.
  void PrepareNext(std::unique_lock<std::mutex>& lock);
  void Skip(const std::string& path, const std::string& reason);

  FolderShowOptions options_;
  PrepareSettings prepare_;
  PackageHeader show_;
  std::function<void(const std::string&)> report_;
  EffectPlan effects_;
  std::optional<gdi::Bitmap> message_;

  FolderWatch watch_;
  int wake_fd_ = -1;
  std::mutex mutex_;
  std::condition_variable changed_;
  ShowOrder order_;
  std::optional<Prepared> ready_;
  std::optional<std::string> preparing_;  // the path the worker prepares
  bool preparing_dropped_ = false;        // removed or overtaken while it was being prepared
  bool retry_soon_ = false;               // a picture that may still be written just failed
  bool stop_ = false;
  std::set<std::string> reported_;
  std::thread worker_;
};

}  // namespace slidesaver::photos

#pragma once
// The pictures of a folder as the show's slides, read where they are. The show form plays a
// show of two slides whose entries this source fills in turn: each time the form asks for the
// picture of one, it gets the next picture of the order, prepared as `slidepack build` prepares
// it for the show area. One worker thread watches the folder and prepares the next picture
// while the current one is on the screen, so only the shown picture and the next are held
// decoded; the form waits for it (answering its input) only when preparing takes longer than a
// slide stays. Nothing the folder does keeps the form waiting for good: a picture that fails
// while it may still be written is set aside and looked at again a moment later, and a folder
// that is gone or can't be read says so until it is back.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
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
  // Ready once the next picture is prepared, or when there is none to prepare; and, for the
  // show's first slide, after a second at most, so that the show starts and answers its input.
  bool WaitForPicture(int32_t index, int32_t milliseconds) override;
  // The next picture; while the folder holds none, a message saying so; before the first
  // picture is prepared, nothing (the background, for no time).
  gdi::Bitmap Picture(int32_t index) override;
  std::optional<std::string> PathOf(const std::string& stored_name) const override;
  std::vector<std::string> KnownCauses() const override { return {}; }

 private:
  using Clock = std::chrono::steady_clock;
  struct Prepared {
    std::string path;
    PreparedBitmap bitmap;
  };
  // What a file was when it last failed: failing again unchanged, it has settled.
  struct FileState {
    uintmax_t size = 0;
    std::filesystem::file_time_type written;
    bool operator==(const FileState&) const = default;
  };
  struct SetAside {
    FileState state;
    Clock::time_point again;  // when it is looked at again
  };

  // Called with the lock held.
  bool Answerable() const;
  int WaitMilliseconds() const;
  void Work();
  void Wake();
  // Takes in what changed in the folder.
  void Apply(const std::vector<FolderChange>& changes, std::unique_lock<std::mutex>& lock);
  // Finds the pictures of the folder and watches it; false when it is gone or can't be read.
  bool Find(std::unique_lock<std::mutex>& lock);
  // The folder is gone, moved or unreadable: nothing of it plays until it is back.
  void Lose();
  // A set-aside picture whose time has come is looked at again.
  void LookAgain(std::unique_lock<std::mutex>& lock);
  // The next picture of the order, prepared, or nothing when there is none to prepare.
  void PrepareNext(std::unique_lock<std::mutex>& lock);
  // A picture that could not be read or prepared: set aside while it may still change, else
  // named once and left out.
  void Failed(const std::string& path, const std::string& reason);

  FolderShowOptions options_;
  PrepareSettings prepare_;
  PackageHeader show_;
  std::function<void(const std::string&)> report_;
  EffectPlan effects_;
  std::optional<gdi::Bitmap> message_;

  std::unique_ptr<FolderWatch> watch_;  // none while the folder is lost
  int wake_fd_ = -1;
  std::mutex mutex_;
  std::condition_variable changed_;
  ShowOrder order_;
  std::optional<Prepared> ready_;
  std::optional<std::string> preparing_;  // the path the worker prepares
  bool preparing_dropped_ = false;        // removed or written anew while it was being prepared
  std::map<std::string, SetAside> set_aside_;
  bool lost_ = false;
  bool handed_out_ = false;  // the form has taken a picture
  std::optional<Clock::time_point> first_wait_;
  bool stop_ = false;
  std::atomic<bool> abandon_{false};  // the preparation in progress stops
  std::set<std::string> reported_;
  std::thread worker_;
};

}  // namespace slidesaver::photos

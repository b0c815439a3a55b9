#pragma once
// The pictures of a folder as the show's slides, read where they are. The show form plays a
// show of two slides whose entries this source fills in turn: each time the form asks for the
// picture of one, it gets the next picture of the order, prepared for the show area as
// `slidepack build` prepares it. One worker thread walks and watches the folder and prepares the
// next picture while the current one is on the screen, so only the shown picture and the next
// are held decoded; the form waits for it (answering its input) only when preparing takes
// longer than a slide stays.
//
// Nothing the folder does keeps the form waiting for good, nor the worker busy without end: the
// walk is bounded (FolderWalk) and goes on while the first pictures play; a picture that fails
// while it may still be written is set aside and looked at again a moment later; a folder that
// goes or can't be read says so until it is back; pictures that arrive come after the one
// prepared already; and the preparation in progress is abandoned when the show ends.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "package/package.h"
#include "slides/effect_plan.h"
#include "slides/folder_walk.h"
#include "slides/picture_list.h"
#include "slides/picture_preparer.h"
#include "slides/show_order.h"
#include "slides/slide_source.h"

namespace slidesaver {

struct FolderShowOptions {
  std::string folder;
  int32_t time = 5000;  // milliseconds each picture stays
  std::string effects = "random";
  int32_t speed = 0;
  FolderOrder order = FolderOrder::kShuffle;
  AreaFit fit = AreaFit::kContain;
  int32_t background = 0;  // 0x00BBGGRR
  std::string music;       // a file looped as the show's music; empty: none
  uint32_t seed = 0;       // of the shuffle and the random effects
};

class FolderSlides : public ShowSource {
 public:
  // Starts walking and watching the folder for an area of `width` x `height`. `report` gets one
  // line for each picture that can't be shown, each limit of the walk reached, and music that
  // can't be played (then there is none). Throws std::runtime_error for a folder that can't be
  // read.
  FolderSlides(const FolderServices& services, const FolderShowOptions& options, int32_t width,
               int32_t height, std::function<void(const std::string&)> report);
  ~FolderSlides() override;
  FolderSlides(const FolderSlides&) = delete;
  FolderSlides& operator=(const FolderSlides&) = delete;

  // The show the form plays: the area, its background, the music and the two slides.
  const PackageHeader& Show() const override { return show_; }

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
    PreparedSlide slide;
  };
  // A picture that failed while it may still be written: looked at again at `again`, and
  // named and left out when it fails again unchanged.
  struct SetAside {
    platform::EntryFacts facts;
    Clock::time_point again;
  };

  // The worker's round (folder_worker.cpp). Called with the lock held; those given the lock
  // let it go while they read files.
  void Work();
  bool Answerable() const;
  bool PreparationWanted() const;
  bool LookAgainDue() const;
  int WaitMilliseconds() const;
  // Walks the folder anew; why it can't ("" when it can).
  std::string Find(std::unique_lock<std::mutex>& lock);
  // The folder is gone, moved or unreadable: nothing of it plays until it is back.
  void Lose();
  void Apply(const std::vector<platform::FolderEvent>& events, std::unique_lock<std::mutex>& lock);
  void Forget(const std::string& path);  // a file, or a folder and what lies below it
  void WalkOn(std::unique_lock<std::mutex>& lock);
  void ExamineSome(std::unique_lock<std::mutex>& lock);
  void LookAgain();
  void PrepareNext(std::unique_lock<std::mutex>& lock);
  // A picture that could not be read or prepared: set aside while it may still change, else
  // named once and left out. `facts`: the file's after the failure.
  void Failed(const std::string& path, const std::string& reason,
              const platform::FileResult<platform::EntryFacts>& facts);
  void Report(const std::string& line);
  gdi::Bitmap Message();

  FolderServices services_;
  FolderShowOptions options_;
  PictureArea area_;
  PackageHeader show_;
  std::function<void(const std::string&)> report_;
  EffectPlan effects_;
  std::optional<gdi::Bitmap> message_;

  // The worker's own, never touched by the form.
  std::unique_ptr<FolderWalk> walk_;  // none while the folder is lost
  std::deque<WalkedFile> found_;      // found by the walk, or looked at again: to examine
  std::deque<WalkedFile> arrived_;    // written while the show plays: examined first
  Clock::time_point walk_began_;
  Clock::time_point look_for_folder_;

  std::mutex mutex_;
  std::condition_variable changed_;
  ShowOrder order_;
  std::optional<Prepared> ready_;
  std::optional<std::string> preparing_;  // the path the worker prepares
  bool preparing_dropped_ = false;        // removed or written anew while it was being prepared
  std::map<std::string, SetAside> set_aside_;
  bool lost_ = false;
  bool walking_ = true;      // the walk or the examination of what it found goes on
  bool handed_out_ = false;  // the form has taken a picture
  std::optional<Clock::time_point> first_wait_;
  bool stop_ = false;
  std::atomic<bool> abandon_{false};  // the preparation in progress stops
  std::set<std::string> reported_;
  std::thread worker_;
};

}  // namespace slidesaver

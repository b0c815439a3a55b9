#include "tools/slidepack/render/frame_count_estimate.h"

#include <algorithm>
#include <cmath>

namespace slidepack::render {

FrameCountEstimate::FrameCountEstimate(const slidesaver::PackageHeader& package, int32_t first_pass,
                                       int32_t passes, int fps)
    : first_pass_(first_pass), passes_(passes), fps_(fps) {
  display_before_.push_back(0);
  for (const slidesaver::SlideEntry& slide : package.Slides) {
    // The transition starts once the tick has passed the deadline: a millisecond after it.
    const int64_t display = std::max<int64_t>(int64_t{slide.DisplayTime} + 1, 0);
    display_before_.push_back(display_before_.back() + display);
  }
}

int64_t FrameCountEstimate::DisplayTicks(int64_t from, int64_t to) const {
  const auto slides = static_cast<int64_t>(display_before_.size() - 1);
  const auto before = [&](int64_t pass) {
    return pass / slides * display_before_.back() +
           display_before_[static_cast<size_t>(pass % slides)];
  };
  return before(to) - before(from);
}

int64_t FrameCountEstimate::FramesIn(double ticks) const {
  constexpr double kMost = 1e18;
  return static_cast<int64_t>(std::clamp(std::ceil(ticks * fps_ / 1000), 0.0, kMost));
}

int64_t FrameCountEstimate::Frames() const { return FramesIn(DisplayTicks(first_pass_, passes_)); }

int64_t FrameCountEstimate::Frames(const ShowTimeline& so_far) {
  const std::vector<ShowPass>& begun = so_far.passes;
  for (; transitions_seen_ + 1 < begun.size(); ++transitions_seen_) {
    transition_ticks_ += begun[transitions_seen_ + 1].start - begun[transitions_seen_].transition;
  }
  const int64_t transition =
      transitions_seen_ == 0 ? 0 : transition_ticks_ / static_cast<int64_t>(transitions_seen_);
  const auto current = static_cast<int64_t>(begun.size()) - 1;
  // The part played so far, then the passes from the current one on.
  const int64_t played = current > first_pass_
                             ? begun.back().start - begun[static_cast<size_t>(first_pass_)].start
                             : 0;
  const int64_t from = std::max(current, first_pass_);
  return FramesIn(static_cast<double>(played) + static_cast<double>(DisplayTicks(from, passes_)) +
                  static_cast<double>(passes_ - from) * static_cast<double>(transition));
}

}  // namespace slidepack::render

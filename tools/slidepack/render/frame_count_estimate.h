#pragma once
// How many frames a render will have, told before its play has reached the end (the progress
// line's total): the passes begun so far as they went, the others by their slides' display
// times and the mean length of the transitions seen so far.
#include <cstdint>
#include <vector>

#include "package/package.h"
#include "tools/slidepack/render/offscreen_show.h"

namespace slidepack::render {

class FrameCountEstimate {
 public:
  // The render samples passes `first_pass` to `passes` - 1, `fps` frames a second.
  FrameCountEstimate(const slidesaver::PackageHeader& package, int32_t first_pass, int32_t passes,
                     int fps);

  // Before the play: the display times alone, which no render is shorter than.
  int64_t Frames() const;
  // With the timeline so far, as a pass begins.
  int64_t Frames(const ShowTimeline& so_far);

 private:
  // The display times of passes [from, to) in ticks.
  int64_t DisplayTicks(int64_t from, int64_t to) const;
  // In double precision: a show's numbers may make more ticks than 64 bits count frames of.
  int64_t FramesIn(double ticks) const;

  std::vector<int64_t> display_before_;  // the display times of the slides before each
  int64_t first_pass_, passes_;
  int fps_;
  size_t transitions_seen_ = 0;
  int64_t transition_ticks_ = 0;
};

}  // namespace slidepack::render

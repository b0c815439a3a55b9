#pragma once
// A show played by the player's own show form on the offscreen platform: the same effects, the
// same composition of overlay and transparent slides, the same deadlines. Its files are
// extracted as the player extracts them, into a folder of their own that goes with this object;
// pictures decode with the Linux player's loader.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "package/extracted_show.h"
#include "package/package.h"
#include "platform/file_system.h"
#include "platform/picture_loader.h"
#include "tools/slidepack/render/offscreen_platform.h"

namespace slidepack::render {

// A pass is the time one slide is the current one: it begins when the slide has fully come in
// (for the first slide, when its picture is first drawn), holds for the slide's display time,
// and ends when the slide's own transition has brought the next one in.
struct ShowPass {
  int32_t slide = 0;       // index into the Package's slides
  int64_t start = 0;       // tick at which the slide stands complete
  int64_t transition = 0;  // tick at which its transition starts
  bool operator==(const ShowPass&) const = default;
};

struct ShowTimeline {
  std::vector<ShowPass> passes;
  int64_t end = 0;  // the end of the last pass's transition
  // The end of pass `i`: the start of the next one.
  int64_t EndOf(size_t i) const { return i + 1 < passes.size() ? passes[i + 1].start : end; }
  bool operator==(const ShowTimeline&) const = default;
};

// Receives the screen (the show area) at sample `index`, taken at `tick`, with the part
// changed since the previous sample.
using ScreenSample = std::function<void(size_t index, int64_t tick, const gdi::Bitmap& screen,
                                        const gdi::Rect& changed)>;

class OffscreenShow {
 public:
  // `name` names the show in messages. Throws SlidepackError when the show can't be played.
  OffscreenShow(const slidesaver::PackageHeader& package, std::string name);
  ~OffscreenShow();
  OffscreenShow(const OffscreenShow&) = delete;
  OffscreenShow& operator=(const OffscreenShow&) = delete;

  // Plays passes 0 to `passes` - 1 (past the last slide the show starts again with the first)
  // and tells when each began and when its transition started. Pictures are not decoded for
  // this: the timing doesn't depend on them.
  ShowTimeline Time(int32_t passes);

  // Plays them again, pictures and all, and hands `sample` the screen at each of `ticks`
  // (ascending, before the end of the last pass). The play keeps the timing Time() told. The show's
  // music and sounds go to `track`, if any. `keep_going` is asked before every move of the clock
  // and every sample; when it says no, the play ends with an interrupted error.
  ShowTimeline Sample(int32_t passes, const std::vector<int64_t>& ticks, SoundTrack* track,
                      const ScreenSample& sample);

  // Plays them once, pictures and all, and hands `sample` the screen `fps` times a second from
  // the start of pass `first_pass` to the end of the last one: sample i at the start + i / fps
  // seconds, as far as the millisecond clock tells it. Its length is known only at its end;
  // `on_pass` tells of each pass as it begins.
  ShowTimeline SampleEvery(int32_t first_pass, int32_t passes, int fps, SoundTrack* track,
                           const ScreenSample& sample);

  std::function<bool()> keep_going;
  // Told when a pass begins, with the timeline so far (the new pass last; no end yet).
  std::function<void(const ShowTimeline& so_far)> on_pass;

 private:
  // The tick of sample `index`, once the timeline so far tells it.
  using SampleTick = std::function<std::optional<int64_t>(size_t index, const ShowTimeline&)>;
  ShowTimeline Play(int32_t passes, const SampleTick& tick_of, SoundTrack* track,
                    const ScreenSample& sample, platform::PictureLoader& loader);

  const slidesaver::PackageHeader& package_;
  std::string name_;
  std::filesystem::path base_folder_;
  std::unique_ptr<platform::FileSystem> files_;
  std::unique_ptr<platform::PictureLoader> pictures_;
  std::unique_ptr<slidesaver::ExtractedShow> extracted_;
  std::optional<ShowTimeline> timed_;  // what Time() told last
};

}  // namespace slidepack::render

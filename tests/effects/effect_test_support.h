#pragma once
// Running one transition on fake surfaces and reading back what it did: the drawing calls on
// the target grouped into frames, the waits on a virtual clock, and the pixels it produced.
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <iosfwd>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "effects/frame.h"
#include "platform/event_loop.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/surface.h"

namespace slidesaver::effect_test {

// A virtual millisecond clock. A yield with a deadline moves the clock to deadline + 1 (unless
// it is already past it), so every frame's wait ends after exactly one yield.
class VirtualClockLoop : public platform::EventLoop {
 public:
  int32_t TickCount() override { return now; }
  void Yield() override { Yielded(); }
  void YieldUntil(int32_t deadline) override;

  int32_t now = 0;
  std::vector<int32_t> deadlines;  // every deadline a wait was given, in order
  int yields = 0;
  // Runs inside every yield, as the input handlers do; gets the 0-based index of the yield.
  std::function<void(int)> on_yield;
  // When set, every yield appends a "Yield" entry here.
  std::vector<gdi::DrawCall>* log = nullptr;

 private:
  void Yielded();
};

// Presents nothing; appends a "Refresh" entry to the log for every refresh of the target and
// can keep a copy of the image of every refresh.
class RecordingPresenter : public gdi::Presenter {
 public:
  void Move(int32_t, int32_t, int32_t, int32_t) override {}
  void Present(const gdi::Bitmap& image, const gdi::Rect& dirty) override;

  std::vector<gdi::DrawCall>* log = nullptr;
  bool keep_images = false;
  std::vector<gdi::Bitmap> images;
  int refreshes = 0;
};

// Every pixel of a test picture tells which picture and which position it came from, so a
// pixel on the target shows where it was copied from (and black is not any picture's pixel).
enum class Source : uint32_t { Black = 0, From = 1, To = 2, Initial = 3 };
struct Origin {
  Source source;
  int32_t x, y;
  bool operator==(const Origin&) const = default;
};
uint32_t PatternPixel(Source source, int32_t x, int32_t y);  // x, y below 2048
Origin OriginOf(uint32_t pixel);
void PrintTo(const Origin& origin, std::ostream* out);
gdi::Bitmap Pattern(Source source, int32_t width, int32_t height);

// The recorded calls in the shape of the frame skeleton.
struct Frames {
  std::vector<gdi::DrawCall> first;                // before the first animation frame's draw
  std::vector<std::vector<gdi::DrawCall>> frames;  // each animation frame, up to its wait
  std::vector<gdi::DrawCall> last;                 // after the last wait
};

// Calls as the target's recorder keeps them.
gdi::DrawCall BitBltCall(const std::string& source, std::initializer_list<int64_t> args);
gdi::DrawCall StretchBltCall(const std::string& source, std::initializer_list<int64_t> args);
gdi::DrawCall FillBoxCall(int64_t x1, int64_t y1, int64_t x2, int64_t y2, int64_t color);
gdi::DrawCall RefreshCall();
bool IsDrawing(const gdi::DrawCall& call);  // not a Refresh nor a Yield
// The drawing calls of a frame, without Refresh entries.
std::vector<gdi::DrawCall> Drawing(const std::vector<gdi::DrawCall>& frame);

// The target "Picture1" (filled with the Initial pattern), the from-picture "NowPicture" and
// the to-picture "NextPicture" of one size, with the show's frame context around them.
class EffectRun {
 public:
  EffectRun(int32_t width, int32_t height);
  EffectRun(const EffectRun&) = delete;
  EffectRun& operator=(const EffectRun&) = delete;

  // StopRequested becomes -1 inside the wait of animation frame `frame` (0-based).
  void StopDuringWaitOf(int frame);
  // Runs the transition of an effect number (through the dispatch table) or a procedure.
  void Run(int32_t effect_number);
  void Run(Effect effect);

  // The calls recorded so far, split at the waits.
  Frames Split() const;
  // The first pixel where the target differs from the to-picture, if any.
  std::optional<Origin> FirstDifferenceFromTo() const;
  bool TargetEqualsTo() const { return !FirstDifferenceFromTo().has_value(); }

  std::vector<gdi::DrawCall> calls;  // drawing calls on the target, refreshes and yields
  RecordingPresenter presenter;
  VirtualClockLoop clock;
  gdi::Surface target{"Picture1", &presenter};
  gdi::Surface from{"NowPicture"};
  gdi::Surface to{"NextPicture"};
  int16_t stop_requested = 0;
  Random random;
  FrameContext context{clock, stop_requested, 1, random};
};

// A transition's expected frames at one size: how many animation frames, and the drawing
// calls of some of them (by 0-based index).
struct FrameExpectation {
  int32_t effect, width, height;
  size_t frame_count;
  std::vector<std::pair<size_t, std::vector<gdi::DrawCall>>> frames;
};
// Runs the effect and checks the first frame (A whole), the listed animation frames (each
// followed by its refresh), the frame count, the last frame (B whole, refreshed when
// refresh_last) and that the target ends equal to the to-picture.
::testing::AssertionResult RunsAsExpected(const FrameExpectation& expected, bool refresh_last);

}  // namespace slidesaver::effect_test

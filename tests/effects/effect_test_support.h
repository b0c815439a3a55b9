#pragma once
// Running one transition on the test platform and reading back what it did: the drawing calls on
// the target grouped into frames, the waits on a virtual clock, and the pixels it produced.
#include <cstdint>
#include <initializer_list>
#include <iosfwd>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "effects/frame.h"
#include "gdi/bitmap.h"
#include "gdi/region.h"
#include "gdi/surface.h"
#include "platform/fake/fake_event_loop.h"
#include "platform/fake/fake_show_window.h"
#include "platform/fake/recording_painter.h"

namespace slidesaver::effect_test {

// One call as the run's log shows it: a drawing call into the target (as the recording
// painter logs it, the source named "from" or "to"), a "Refresh" of the target or a "Yield".
struct DrawCall {
  std::string name;
  std::string source;  // SelectClipRgn: the region as RecordingPainter::RegionText gives it
  std::vector<int64_t> args;
  bool operator==(const DrawCall&) const = default;
};
void PrintTo(const DrawCall& call, std::ostream* out);

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
  std::vector<DrawCall> first;                // before the first animation frame's draw
  std::vector<std::vector<DrawCall>> frames;  // each animation frame, up to its wait
  std::vector<DrawCall> last;                 // after the last wait
};

// Calls as the target's recorder keeps them.
DrawCall BitBltCall(const std::string& source, std::initializer_list<int64_t> args);
DrawCall StretchBltCall(const std::string& source, std::initializer_list<int64_t> args);
DrawCall FillBoxCall(int64_t x1, int64_t y1, int64_t x2, int64_t y2, int64_t color);
DrawCall SelectClipCall(const gdi::Region& region);
DrawCall ResetClipCall();
DrawCall RefreshCall();
bool IsDrawing(const DrawCall& call);  // not a Refresh nor a Yield
// The drawing calls of a frame, without Refresh entries.
std::vector<DrawCall> Drawing(const std::vector<DrawCall>& frame);

// The target (filled with the Initial pattern), the from-picture and the to-picture of one
// size on the test platform's clock, with the show's frame context around them. The target is
// presented by a fake show window, which keeps each refresh's image when asked to.
class EffectRun {
 public:
  EffectRun(int32_t width, int32_t height);
  EffectRun(const EffectRun&) = delete;
  EffectRun& operator=(const EffectRun&) = delete;

  // The stop is requested inside the wait of animation frame `frame` (0-based).
  void StopDuringWaitOf(int frame);
  // Runs the transition of an effect number, paced as the effect table says, or a procedure
  // at the context's pace (50 ms a frame unless a test sets another).
  void Run(int32_t effect_number);
  void Run(Effect effect);

  // The drawing calls, refreshes and yields so far, in order.
  std::vector<DrawCall> Calls() const;
  // The same, split at the waits.
  Frames Split() const;
  // The first pixel where the target differs from the to-picture, if any.
  std::optional<Origin> FirstDifferenceFromTo() const;
  bool TargetEqualsTo() const { return !FirstDifferenceFromTo().has_value(); }

  // The images of the refreshes from now on are kept (they cost memory in long runs).
  void KeepImages() { window.SetCaptureImages(true); }
  const gdi::Bitmap& Image(size_t refresh) const { return window.Frames().at(refresh).image; }
  size_t Refreshes() const { return window.Frames().size(); }

  fake::FakeCallLog log;
  fake::FakeShowWindow window{log, {0, 0}};
  fake::FakeEventLoop events{log, window};
  fake::RecordingPainter painter{log};
  gdi::Surface target{&window};
  gdi::Surface from;
  gdi::Surface to;
  bool stop_requested = false;
  Random random;
  FrameContext context{events, stop_requested, 1, random, painter, {50, false}};
};

// A transition's expected frames at one size: how many animation frames, and the drawing
// calls of some of them (by 0-based index).
struct FrameExpectation {
  int32_t effect, width, height;
  size_t frame_count;
  std::vector<std::pair<size_t, std::vector<DrawCall>>> frames;
};
// Runs the effect and checks the first frame (A whole), the listed animation frames (each
// followed by its refresh), the frame count, the last frame (B whole, refreshed when
// refresh_last) and that the target ends equal to the to-picture.
::testing::AssertionResult RunsAsExpected(const FrameExpectation& expected, bool refresh_last);

}  // namespace slidesaver::effect_test

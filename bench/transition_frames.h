#pragma once
// Transitions run for benchmarks, one animation frame per benchmark iteration, timed in
// processor time from the end of one wait to the end of the next (the manual time).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <ctime>
#include <span>
#include <utility>

#include "effects/effect_table.h"
#include "effects/frame.h"
#include "gdi/bitmap.h"
#include "gdi/painter.h"
#include "gdi/surface.h"
#include "platform/event_loop.h"

namespace slidesaver::bench {

inline double ProcessSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Every wait ends at once (the clock jumps past the deadline) and ends one benchmark iteration;
// when the benchmark has run enough frames, the wait asks the transition to stop.
class FramePerIterationLoop : public platform::EventLoop {
 public:
  FramePerIterationLoop(benchmark::State& state, bool& stop) : state_(state), stop_(stop) {}

  void Start() {
    stop_ = !state_.KeepRunning();
    frame_start_ = ProcessSeconds();
  }
  int64_t Frames() const { return frames_; }

  int64_t TickCount() override { return now_; }
  void Yield() override {}
  void YieldUntil(int64_t deadline) override {
    if (now_ <= deadline) now_ = deadline + 1;
    if (stop_) return;
    const double end = ProcessSeconds();
    state_.SetIterationTime(end - frame_start_);
    ++frames_;
    stop_ = !state_.KeepRunning();
    frame_start_ = ProcessSeconds();
  }

 private:
  benchmark::State& state_;
  bool& stop_;
  int64_t now_ = 0;
  int64_t frames_ = 0;
  double frame_start_ = 0;
};

// A picture whose neighbouring pixels differ, so that no copy can skip any of them.
inline gdi::Bitmap Gradient(int32_t w, int32_t h, uint32_t seed) {
  gdi::Bitmap b = gdi::Bitmap::Color(w, h);
  for (int32_t y = 0; y < h; ++y) {
    uint32_t* row = b.Row(y);
    for (int32_t x = 0; x < w; ++x) row[x] = (seed * 2654435761u + x * 7 + y * 131) & 0xFFFFFF;
  }
  return b;
}

// Counts the pixels of each present and hands the present on, if there is a presenter to go to.
class CountingPresenter : public gdi::Presenter {
 public:
  explicit CountingPresenter(gdi::Presenter* next) : next_(next) {}
  void Move(int32_t left, int32_t top, int32_t width, int32_t height) override {
    if (next_) next_->Move(left, top, width, height);
  }
  void Present(const gdi::Bitmap& image, std::span<const gdi::Rect> damage) override {
    for (const gdi::Rect& r : damage) pixels_ += int64_t{r.Width()} * r.Height();
    if (next_) next_->Present(image, damage);
  }
  int64_t Pixels() const { return pixels_; }

 private:
  gdi::Presenter* next_;
  int64_t pixels_ = 0;
};

// Runs the effect back and forth between two pictures of the benchmark's size (its two
// arguments), so the first and last frames of each transition count as in a show, into a
// target that `presenter` (if any) presents. Sets the counters `frames` (per transition) and
// `sent` (the pixels a transition presents, in whole frames).
inline void RunTransitionFrames(benchmark::State& state, int32_t effect_number,
                                gdi::Presenter* presenter = nullptr) {
  const auto w = static_cast<int32_t>(state.range(0));
  const auto h = static_cast<int32_t>(state.range(1));
  CountingPresenter counting(presenter);
  gdi::Surface target(&counting), first, second;
  for (gdi::Surface* s : {&target, &first, &second}) s->Move(0, 0, w, h);
  first.DrawPicture(Gradient(w, h, 1), 0, 0);
  second.DrawPicture(Gradient(w, h, 2), 0, 0);
  target.DrawPicture(first.Image(), 0, 0);  // the outgoing picture is on display
  target.Refresh();
  bool stop_requested = false;
  FramePerIterationLoop loop(state, stop_requested);
  Random random;
  gdi::Painter painter;
  const EffectEntry& effect = *FindEffect(effect_number);
  FrameContext context{loop, stop_requested, 1, random, painter, effect.pace};
  gdi::Surface* from = &first;
  gdi::Surface* to = &second;
  // Frames and pixels of the transitions that ran to their end.
  int64_t transitions = 0, frames = 0, sent = 0;
  loop.Start();
  while (!stop_requested) {
    const int64_t frames_before = loop.Frames(), sent_before = counting.Pixels();
    effect.draw(target, *from, *to, context);
    target.Refresh();
    std::swap(from, to);
    benchmark::ClobberMemory();
    if (stop_requested) break;
    ++transitions;
    frames += loop.Frames() - frames_before;
    sent += counting.Pixels() - sent_before;
  }
  if (transitions > 0) {
    state.counters["frames"] = static_cast<double>(frames) / static_cast<double>(transitions);
    state.counters["sent"] =
        static_cast<double>(sent) / static_cast<double>(transitions) / (static_cast<double>(w) * h);
  }
}

}  // namespace slidesaver::bench

// Drawing cost of one animation frame of a transition at 1920 x 1080: the processor time of a
// whole transition divided by its number of animation frames (reported as the manual time, so
// a busy machine does not inflate it). Waits return at once and nothing is presented, so only
// the drawing is measured. Compare with the CPU time of Memcpy/1920/1080 of the same run.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <ctime>
#include <string>

#include "effects/dispatch.h"
#include "effects/frame.h"
#include "platform/event_loop.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/painter.h"
#include "platform/gdi/surface.h"

namespace slidesaver {
namespace {

// Effects 1 to kLastBenchedEffect are measured.
constexpr int32_t kLastBenchedEffect = 35;

// Every wait ends at its first yield: the clock jumps past the deadline. Counts the waits,
// one per animation frame.
class NoWaitLoop : public platform::EventLoop {
 public:
  int64_t TickCount() override { return now_; }
  void Yield() override {}
  void YieldUntil(int64_t deadline) override {
    ++waits_;
    if (now_ <= deadline) now_ = deadline + 1;
  }
  int64_t TakeWaits() {
    const int64_t w = waits_;
    waits_ = 0;
    now_ = 0;
    return w;
  }

 private:
  int64_t now_ = 0;
  int64_t waits_ = 0;
};

gdi::Bitmap Gradient(int32_t w, int32_t h, uint32_t seed) {
  gdi::Bitmap b = gdi::Bitmap::Color(w, h);
  for (int32_t y = 0; y < h; ++y) {
    uint32_t* row = b.Row(y);
    for (int32_t x = 0; x < w; ++x) row[x] = (seed * 2654435761u + x * 7 + y * 131) & 0xFFFFFF;
  }
  return b;
}

void EffectFrameCost(benchmark::State& state, int32_t effect_number) {
  const auto w = static_cast<int32_t>(state.range(0));
  const auto h = static_cast<int32_t>(state.range(1));
  gdi::Surface target, from, to;
  for (gdi::Surface* s : {&target, &from, &to}) s->Move(0, 0, w, h);
  from.DrawPicture(Gradient(w, h, 1), 0, 0);
  to.DrawPicture(Gradient(w, h, 2), 0, 0);
  NoWaitLoop loop;
  const bool stop_requested = false;
  Random random;
  gdi::Painter painter;
  FrameContext context{loop, stop_requested, 1, random, painter};
  const Effect effect = EffectFor(effect_number);
  int64_t frames = 0;
  for (auto _ : state) {
    const std::clock_t start = std::clock();
    effect(target, from, to, context);
    const double elapsed = static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
    const int64_t waits = loop.TakeWaits();
    frames += waits;
    state.SetIterationTime(elapsed / static_cast<double>(waits > 0 ? waits : 1));
    benchmark::ClobberMemory();
  }
  state.counters["frames"] = static_cast<double>(frames) / static_cast<double>(state.iterations());
}

const bool kRegistered = [] {
  for (int32_t n = 1; n <= kLastBenchedEffect; ++n) {
    benchmark::RegisterBenchmark(("Effect/" + std::to_string(n)).c_str(), EffectFrameCost, n)
        ->Args({1920, 1080})
        ->UseManualTime()
        ->Unit(benchmark::kMicrosecond);
  }
  return true;
}();

}  // namespace
}  // namespace slidesaver

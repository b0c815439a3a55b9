// What presenting a transition's frames costs the player in the Linux show window on a real X
// display, against drawing them: Present/<n>/1920/1080 runs effect n (as Effect/<n> does) into a
// target that the full-screen show window presents. The time is a whole frame's, drawing and
// presenting; the counters `present_ms` and `draw_ms` split it per frame (processor time of the
// player), `present_to_draw` is their ratio, and `sent` the pixels a transition presents, in
// whole frames. Needs a display of at least 1920 x 1080: bench/present_cost.sh starts one.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <span>
#include <string>

#include "bench/transition_frames.h"
#include "platform/linux/sdl/sdl_context.h"
#include "platform/linux/sdl/sdl_show_window.h"

namespace slidesaver {
namespace {

// Times each present in processor time of the process.
class TimedPresenter : public gdi::Presenter {
 public:
  explicit TimedPresenter(gdi::Presenter& next) : next_(next) {}
  void Move(int32_t left, int32_t top, int32_t width, int32_t height) override {
    next_.Move(left, top, width, height);
  }
  void Present(const gdi::Bitmap& image, std::span<const gdi::Rect> damage) override {
    const double start = bench::ProcessSeconds();
    next_.Present(image, damage);
    seconds_ += bench::ProcessSeconds() - start;
    ++presents_;
  }
  double Seconds() const { return seconds_; }
  int64_t Presents() const { return presents_; }

 private:
  gdi::Presenter& next_;
  double seconds_ = 0;
  int64_t presents_ = 0;
};

void PresentCost(benchmark::State& state, int32_t effect_number) {
  if (!std::getenv("DISPLAY")) {
    state.SkipWithError("no display: run bench/present_cost.sh");
    return;
  }
  auto sdl = std::make_shared<linux_platform::SdlContext>();
  linux_platform::SdlShowWindow window(sdl, {});
  const platform::ScreenSize screen = window.GetScreenSize();
  if (screen.width < state.range(0) || screen.height < state.range(1)) {
    state.SkipWithError("the display is smaller than the show area");
    return;
  }
  window.Show();
  TimedPresenter timed(window);
  const double start = bench::ProcessSeconds();
  bench::RunTransitionFrames(state, effect_number, &timed);
  const double all = bench::ProcessSeconds() - start;
  const auto frames = static_cast<double>(state.iterations());
  if (frames == 0 || timed.Presents() == 0) return;
  const double present = timed.Seconds() / static_cast<double>(timed.Presents());
  // Setting up the pictures is a present too, and some of the time: small against the frames.
  const double draw = (all - timed.Seconds()) / frames;
  state.counters["present_ms"] = present * 1e3;
  state.counters["draw_ms"] = draw * 1e3;
  state.counters["present_to_draw"] = present / draw;
}

const bool kRegistered = [] {
  for (const EffectEntry& effect : EffectTable()) {
    const int32_t n = effect.number;
    benchmark::RegisterBenchmark(("Present/" + std::to_string(n)).c_str(), PresentCost, n)
        ->Args({1920, 1080})
        ->UseManualTime()
        ->Unit(benchmark::kMicrosecond);
  }
  return true;
}();

}  // namespace
}  // namespace slidesaver

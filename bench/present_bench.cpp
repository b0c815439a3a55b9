// What presenting a transition's frames costs the player in the Linux show window on a real X
// display, against drawing them: Present/<n>/1920/1080 runs effect n (as Effect/<n> does) into a
// target that the full-screen show window presents. The time is a whole frame's, drawing and
// presenting; the counters `present_ms` and `draw_ms` split it per frame (processor time of the
// player), `present_to_draw` is their ratio, and `sent` the pixels a transition presents, in
// whole frames. Needs a display of at least 1920 x 1080: bench/present_cost.sh starts one.
// WaylandPresent/<n>/1920/1080 does the same in the Wayland show window (bench/present_cost.sh
// --wayland runs it on a headless sway), and adds `damaged_to_changed` and `written_to_changed`:
// the pixels marked damaged for the compositor and those written into its buffers, against the
// pixels the transition changed. Its present time includes the event loop's handling of the
// compositor's events after each present (which sends the frames held back for the compositor's
// next frame). The frames come as fast as they are drawn; WaylandPacedPresent/<n> waits after
// each as the show does, for the transition's frame interval, so that the compositor's frames
// pass between them.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <span>
#include <string>

#include "bench/transition_frames.h"
#include "effects/effect_table.h"
#include "platform/linux/sdl/full_screen_show_window.h"
#include "platform/linux/sdl/sdl_context.h"
#include "platform/linux/wayland/wayland_event_loop.h"
#include "platform/linux/wayland/wayland_show_window.h"

namespace slidesaver {
namespace {

// Times each present in processor time of the process.
class TimedPresenter : public gdi::Presenter {
 public:
  // `after` runs after each present, timed with it: the event loop's share of the work.
  explicit TimedPresenter(gdi::Presenter& next, std::function<void()> after = {})
      : next_(next), after_(std::move(after)) {}
  void Move(int32_t left, int32_t top, int32_t width, int32_t height) override {
    next_.Move(left, top, width, height);
  }
  void Present(const gdi::Bitmap& image, std::span<const gdi::Rect> damage) override {
    const double start = bench::ProcessSeconds();
    next_.Present(image, damage);
    if (after_) after_();
    seconds_ += bench::ProcessSeconds() - start;
    ++presents_;
    for (const gdi::Rect& rect : damage) changed_ += int64_t{rect.Width()} * rect.Height();
  }
  int64_t Changed() const { return changed_; }
  double Seconds() const { return seconds_; }
  int64_t Presents() const { return presents_; }

 private:
  gdi::Presenter& next_;
  std::function<void()> after_;
  int64_t changed_ = 0;
  double seconds_ = 0;
  int64_t presents_ = 0;
};

// Runs the transition into `window`, shown full screen, and sets the counters.
void MeasurePresents(benchmark::State& state, int32_t effect_number, platform::ShowWindow& window,
                     TimedPresenter& timed) {
  const platform::ScreenSize screen = window.GetScreenSize();
  if (screen.width < state.range(0) || screen.height < state.range(1)) {
    state.SkipWithError("the display is smaller than the show area");
    return;
  }
  window.Show();
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

void PresentCost(benchmark::State& state, int32_t effect_number) {
  if (!std::getenv("DISPLAY")) {
    state.SkipWithError("no display: run bench/present_cost.sh");
    return;
  }
  auto sdl = std::make_shared<linux_platform::SdlContext>();
  linux_platform::FullScreenShowWindow window(sdl, gdi::AreaFit::OwnSize);
  TimedPresenter timed(window);
  MeasurePresents(state, effect_number, window, timed);
}

// `paced`: after each present, the event loop waits for the transition's frame interval.
void WaylandPresentCost(benchmark::State& state, int32_t effect_number, bool paced) {
  auto context = std::make_shared<linux_platform::WaylandContext>(
      std::make_shared<linux_platform::SdlContext>());
  if (!std::getenv("WAYLAND_DISPLAY") || !context->Start()) {
    state.SkipWithError("no Wayland display: run bench/present_cost.sh --wayland");
    return;
  }
  linux_platform::WaylandShowWindow window(context, {});
  linux_platform::WaylandEventLoop events(context, window);
  const int64_t interval = paced ? FindEffect(effect_number)->pace.interval_ms : 0;
  TimedPresenter timed(window, [&] {
    events.Yield();
    const int64_t deadline = events.TickCount() + interval;
    while (interval > 0 && events.TickCount() <= deadline) events.YieldUntil(deadline);
  });
  MeasurePresents(state, effect_number, window, timed);
  const auto changed = static_cast<double>(timed.Changed());
  if (changed == 0) return;
  state.counters["damaged_to_changed"] = static_cast<double>(window.Counts().damaged) / changed;
  state.counters["written_to_changed"] = static_cast<double>(window.Counts().written) / changed;
}

constexpr int64_t kPacedFrames = 300;

const bool kRegistered = [] {
  for (const EffectEntry& effect : EffectTable()) {
    const int32_t n = effect.number;
    benchmark::RegisterBenchmark(("Present/" + std::to_string(n)).c_str(), PresentCost, n)
        ->Args({1920, 1080})
        ->UseManualTime()
        ->Unit(benchmark::kMicrosecond);
    for (const bool paced : {false, true}) {
      const std::string name = paced ? "WaylandPacedPresent/" : "WaylandPresent/";
      auto* benchmark = benchmark::RegisterBenchmark((name + std::to_string(n)).c_str(),
                                                     WaylandPresentCost, n, paced);
      benchmark->Args({1920, 1080})->UseManualTime()->Unit(benchmark::kMicrosecond);
      // In real time, frames take their interval: a few hundred are enough.
      if (paced) benchmark->Iterations(kPacedFrames);
    }
  }
  return true;
}();

}  // namespace
}  // namespace slidesaver

// Enlarging a whole changed frame of the show area to fill a screen (--fit fill, and sharp), to
// compare with Memcpy of the screen's size (the goal: at most twice its time). Only changed parts
// are rescaled in a show, so a whole frame is the most one present costs; a slide that stays
// rescales nothing.
#include <benchmark/benchmark.h>

#include "gdi/area_scale.h"
#include "platform/area_placement.h"

namespace {

using namespace slidesaver;

void ScaleToScreen(benchmark::State& state, gdi::AreaFit fit) {
  const auto area_w = static_cast<int32_t>(state.range(0));
  const auto area_h = static_cast<int32_t>(state.range(1));
  const platform::ScreenSize screen{static_cast<int32_t>(state.range(2)),
                                    static_cast<int32_t>(state.range(3))};
  const gdi::Rect fitted = platform::PlaceArea(screen, area_w, area_h, fit).on_target;
  const gdi::AreaScale scale(area_w, area_h, fitted.Width(), fitted.Height(),
                             fit == gdi::AreaFit::Sharp);
  gdi::Bitmap frame = gdi::Bitmap::Color(area_w, area_h);
  for (int32_t y = 0; y < area_h; ++y) {
    for (int32_t x = 0; x < area_w; ++x) {
      frame.Row(y)[x] = static_cast<uint32_t>(x * 7 + y * 13) & 0xFFFFFF;
    }
  }
  gdi::Bitmap shown = gdi::Bitmap::Color(fitted.Width(), fitted.Height());
  for (auto _ : state) {
    scale.Scale(frame, {0, 0, shown.Width(), shown.Height()}, shown);
    benchmark::DoNotOptimize(shown.Row(0));
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * int64_t{shown.Width()} * shown.Height() * 4);
  state.counters["scaled_w"] = fitted.Width();
  state.counters["scaled_h"] = fitted.Height();
}

void Upscale(benchmark::State& state) { ScaleToScreen(state, gdi::AreaFit::Fill); }
void UpscaleSharp(benchmark::State& state) { ScaleToScreen(state, gdi::AreaFit::Sharp); }

BENCHMARK(Upscale)->Args({800, 600, 3840, 2160})->Args({640, 480, 2560, 1440});
BENCHMARK(UpscaleSharp)->Args({800, 600, 3840, 2160})->Args({640, 480, 2560, 1440});

}  // namespace

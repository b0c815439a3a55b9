// Scaling a whole frame of the show area down for a preview window, to compare with
// Memcpy/1920/1080 (the goal: at most twice its time). Only changed parts are rescaled in a
// show, so a whole frame is the most one present costs.
#include <benchmark/benchmark.h>

#include "gdi/area_downscale.h"
#include "platform/area_placement.h"

namespace {

using namespace slidesaver;

void PreviewScale(benchmark::State& state) {
  const auto area_w = static_cast<int32_t>(state.range(0));
  const auto area_h = static_cast<int32_t>(state.range(1));
  const platform::ScreenSize window{static_cast<int32_t>(state.range(2)),
                                    static_cast<int32_t>(state.range(3))};
  const gdi::Rect fitted = platform::PlaceArea(window, area_w, area_h).on_target;
  const gdi::AreaDownscale scale(area_w, area_h, fitted.Width(), fitted.Height());
  gdi::Bitmap frame = gdi::Bitmap::Color(area_w, area_h);
  for (int32_t y = 0; y < area_h; ++y) {
    for (int32_t x = 0; x < area_w; ++x) {
      frame.Row(y)[x] = static_cast<uint32_t>(x * 7 + y * 13) & 0xFFFFFF;
    }
  }
  gdi::Bitmap preview = gdi::Bitmap::Color(fitted.Width(), fitted.Height());
  for (auto _ : state) {
    scale.Scale(frame, {0, 0, preview.Width(), preview.Height()}, preview);
    benchmark::DoNotOptimize(preview.Row(0));
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * int64_t{area_w} * area_h * 4);
}
BENCHMARK(PreviewScale)->Args({1920, 1080, 320, 240})->Args({1024, 768, 320, 240});

}  // namespace

// Drawing cost of one animation frame of a transition at 1920 x 1080 and 3840 x 2160: each
// benchmark iteration is one frame, from the end of one wait to the end of the next, timed in
// processor time (reported as the manual time, so a busy machine does not inflate it). Waits
// return at once; the transitions run one after another, back and forth between the two
// pictures, so the first and last frames of each count as in a show. The target is a presented
// surface whose presenter only counts the damage: the counter `sent` is the pixels a
// transition sends to the screen, in whole frames. Compare the time with the CPU time of
// Memcpy at the same size in the same run.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "bench/transition_frames.h"

namespace slidesaver {
namespace {

void EffectFrameCost(benchmark::State& state, int32_t effect_number) {
  bench::RunTransitionFrames(state, effect_number);
}

const bool kRegistered = [] {
  for (const EffectEntry& effect : EffectTable()) {
    const int32_t n = effect.number;
    benchmark::RegisterBenchmark(("Effect/" + std::to_string(n)).c_str(), EffectFrameCost, n)
        ->Args({1920, 1080})
        ->Args({3840, 2160})
        ->UseManualTime()
        ->Unit(benchmark::kMicrosecond);
  }
  return true;
}();

}  // namespace
}  // namespace slidesaver

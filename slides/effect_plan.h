#pragma once
// Which transition each slide gets (`slidepack new`, the folder show): every effect in turn
// (1 to kEffectCount), a random choice that never gives the same effect twice in a row (the same
// seed gives the same choices), or the given numbers in turn.
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace slidesaver {

class EffectPlan {
 public:
  // "all", "random" or "N,M,..." with numbers from 0 to kEffectCount. Throws
  // std::invalid_argument saying what is wrong.
  static EffectPlan Parse(const std::string& text, uint32_t seed);
  // The effect of the next slide, as long as the show goes on.
  int32_t Next();
  // The effects of the first `slides` slides.
  std::vector<int32_t> For(size_t slides) const;

 private:
  enum class Kind { kAll, kRandom, kList } kind_ = Kind::kAll;
  std::vector<int32_t> list_;
  // mt19937's output is the same everywhere; the distributions of <random> are not.
  std::mt19937 random_;
  size_t given_ = 0;
  int32_t last_ = 0;
};

}  // namespace slidesaver

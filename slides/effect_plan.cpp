#include "slides/effect_plan.h"

#include <sstream>
#include <stdexcept>

#include "effects/effect_table.h"

namespace slidesaver {
namespace {

constexpr int32_t kMaxEffect = kEffectCount;

}  // namespace

EffectPlan EffectPlan::Parse(const std::string& text, uint32_t seed) {
  EffectPlan plan;
  plan.random_.seed(seed);
  if (text == "all") return plan;
  if (text == "random") {
    plan.kind_ = Kind::kRandom;
    return plan;
  }
  plan.kind_ = Kind::kList;
  std::stringstream items(text);
  std::string item;
  while (std::getline(items, item, ',')) {
    const bool digits = !item.empty() && item.size() <= 2 &&
                        item.find_first_not_of("0123456789") == std::string::npos;
    if (!digits || std::stoi(item) > kMaxEffect) {
      throw std::invalid_argument("--effects: \"" + text +
                                  "\" is not all, random or a list of effects from 0 to " +
                                  std::to_string(kMaxEffect) + " (3,12,28)");
    }
    plan.list_.push_back(std::stoi(item));
  }
  if (plan.list_.empty()) throw std::invalid_argument("--effects: the list of effects is empty");
  return plan;
}

int32_t EffectPlan::Next() {
  const size_t i = given_++;
  switch (kind_) {
    case Kind::kAll:
      last_ = static_cast<int32_t>(i % kMaxEffect) + 1;
      break;
    case Kind::kList:
      last_ = list_[i % list_.size()];
      break;
    case Kind::kRandom: {
      // Never the same transition twice in a row.
      int32_t effect;
      do {
        effect = static_cast<int32_t>(random_() % kMaxEffect) + 1;
      } while (i > 0 && effect == last_);
      last_ = effect;
      break;
    }
  }
  return last_;
}

std::vector<int32_t> EffectPlan::For(size_t slides) const {
  EffectPlan plan = *this;
  std::vector<int32_t> effects;
  for (size_t i = 0; i < slides; ++i) effects.push_back(plan.Next());
  return effects;
}

}  // namespace slidesaver

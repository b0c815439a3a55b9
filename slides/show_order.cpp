#include "slides/show_order.h"

#include <algorithm>

#include "slides/natural_order.h"

namespace slidesaver {

std::optional<FolderOrder> ParseFolderOrder(const std::string& text) {
  if (text == "shuffle") return FolderOrder::kShuffle;
  if (text == "name") return FolderOrder::kName;
  if (text == "date") return FolderOrder::kDate;
  return std::nullopt;
}

bool ShowOrder::Before(const Known& a, const Known& b) const {
  if (order_ == FolderOrder::kDate && a.time_taken != b.time_taken) {
    return a.time_taken < b.time_taken;
  }
  return NaturalLess(a.path, b.path);
}

void ShowOrder::Add(const std::string& path, const std::string& time_taken, bool arrived) {
  Remove(path);
  const Known added{path, time_taken};
  known_.insert(std::upper_bound(known_.begin(), known_.end(), added,
                                 [this](const Known& a, const Known& b) { return Before(a, b); }),
                added);
  // An arrival is shown next and so belongs to no round yet; a picture found otherwise waits
  // for the next round, or takes its place in the order.
  if (arrived) first_.push_back(path);
}

void ShowOrder::Remove(const std::string& path) {
  // A folder takes the pictures below it along.
  const auto gone = [&](const std::string& known) {
    return known == path || (known.size() > path.size() &&
                             known.compare(0, path.size(), path) == 0 && known[path.size()] == '/');
  };
  std::erase_if(known_, [&](const Known& known) { return gone(known.path); });
  std::erase_if(first_, gone);
  std::erase_if(round_, gone);
}

void ShowOrder::Clear() {
  known_.clear();
  first_.clear();
  round_.clear();
}

std::optional<std::string> ShowOrder::Next() {
  if (known_.empty()) return std::nullopt;
  if (!first_.empty()) {
    last_ = first_.front();
    first_.pop_front();
    std::erase(round_, last_);
  } else {
    last_ = order_ == FolderOrder::kShuffle ? NextInRound() : NextInOrder();
  }
  return last_;
}

std::string ShowOrder::NextInRound() {
  if (round_.empty()) {
    for (const Known& known : known_) round_.push_back(known.path);
    std::shuffle(round_.begin(), round_.end(), random_);
    // The new round must not begin with the picture just shown.
    if (round_.size() > 1 && round_.back() == last_) {
      std::swap(round_.back(), round_[random_() % (round_.size() - 1)]);
    }
  }
  std::string next = round_.back();
  round_.pop_back();
  return next;
}

std::string ShowOrder::NextInOrder() {
  auto next = known_.begin();
  if (cursor_) {
    next = std::upper_bound(known_.begin(), known_.end(), *cursor_,
                            [this](const Known& a, const Known& b) { return Before(a, b); });
    if (next == known_.end()) next = known_.begin();
  }
  cursor_ = *next;
  return next->path;
}

}  // namespace slidesaver

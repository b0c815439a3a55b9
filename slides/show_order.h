#pragma once
// The order a folder's pictures are shown in while pictures come and go. Shuffle: every
// picture once in a round, in a new random order each round, and a round never begins with
// the picture the last one ended with. Name and date: round and round in that order. A
// picture that arrives while the show plays comes before all others, once.
#include <cstdint>
#include <deque>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace slidesaver {

enum class FolderOrder { kShuffle, kName, kDate };

// "shuffle", "name", "date"
std::optional<FolderOrder> ParseFolderOrder(const std::string& text);

class ShowOrder {
 public:
  ShowOrder(FolderOrder order, uint32_t seed) : order_(order), random_(seed) {}

  // A picture found (`arrived`: while the show plays). A path known already is replaced.
  void Add(const std::string& path, const std::string& time_taken, bool arrived);
  // The picture at `path`, or every picture below the folder at `path`.
  void Remove(const std::string& path);
  // The picture to show next; nothing when none is known.
  std::optional<std::string> Next();
  // Every picture goes (the folder is gone); the order's place and random state stay.
  void Clear();
  bool Empty() const { return known_.empty(); }
  size_t Size() const { return known_.size(); }

 private:
  struct Known {
    std::string path;
    std::string time_taken;
  };
  bool Before(const Known& a, const Known& b) const;
  std::string NextInRound();
  std::string NextInOrder();

  FolderOrder order_;
  std::mt19937 random_;
  std::vector<Known> known_;        // sorted by Before
  std::deque<std::string> first_;   // arrived: shown before the rest
  std::vector<std::string> round_;  // shuffle: not yet shown in this round, the next at the back
  std::optional<Known> cursor_;     // name and date: the last picture shown in order
  std::string last_;                // the last picture Next() gave
};

}  // namespace slidesaver

// The order of a folder's pictures: shuffled rounds, name and date orders, arrivals first.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>

#include "slides/show_order.h"

namespace slidesaver {
namespace {

using ::testing::ElementsAre;

std::vector<std::string> Take(ShowOrder& order, int count) {
  std::vector<std::string> taken;
  for (int i = 0; i < count; ++i) taken.push_back(order.Next().value_or("(none)"));
  return taken;
}

TEST(ShowOrder, ShuffleShowsEveryPictureOnceARoundAndNoRoundBeginsWithTheLastOne) {
  for (int size : {1, 2, 3, 7}) {
    for (uint32_t seed = 1; seed <= 30; ++seed) {
      SCOPED_TRACE("size " + std::to_string(size) + " seed " + std::to_string(seed));
      ShowOrder order(FolderOrder::kShuffle, seed);
      for (int i = 0; i < size; ++i) order.Add(std::string(1, char('a' + i)) + ".jpg", "", false);
      std::string previous;
      for (int round = 0; round < 6; ++round) {
        const std::vector<std::string> taken = Take(order, size);
        EXPECT_EQ(std::set<std::string>(taken.begin(), taken.end()).size(), size_t(size));
        if (size > 1) {
          EXPECT_NE(taken.front(), previous);
        }
        previous = taken.back();
      }
    }
  }
}

TEST(ShowOrder, NameAndDateGoRoundInOrderWithArrivalsFirstAndRemovedPicturesLeftOut) {
  ShowOrder by_name(FolderOrder::kName, 1);
  for (const char* path : {"d/IMG_10.jpg", "d/IMG_2.jpg", "d/sub/a.jpg", "d/IMG_1.jpg"})
    by_name.Add(path, "", false);
  EXPECT_THAT(Take(by_name, 5), ElementsAre("d/IMG_1.jpg", "d/IMG_2.jpg", "d/IMG_10.jpg",
                                            "d/sub/a.jpg", "d/IMG_1.jpg"));
  // A picture that arrives comes next, once; the order then goes on where it was.
  by_name.Add("d/IMG_5.jpg", "", true);
  EXPECT_THAT(Take(by_name, 3), ElementsAre("d/IMG_5.jpg", "d/IMG_2.jpg", "d/IMG_5.jpg"));
  // A folder taken away takes its pictures along.
  by_name.Remove("d/sub");
  by_name.Remove("d/IMG_1.jpg");
  EXPECT_THAT(Take(by_name, 3), ElementsAre("d/IMG_10.jpg", "d/IMG_2.jpg", "d/IMG_5.jpg"));
  // A folder that is gone takes everything along; what is found again starts its order anew.
  by_name.Clear();
  EXPECT_TRUE(by_name.Empty());
  EXPECT_EQ(by_name.Next(), std::nullopt);
  by_name.Add("d/IMG_7.jpg", "", false);
  EXPECT_THAT(Take(by_name, 2), ElementsAre("d/IMG_7.jpg", "d/IMG_7.jpg"));

  ShowOrder by_date(FolderOrder::kDate, 1);
  by_date.Add("b.jpg", "2020:01:01 10:00:00", false);
  by_date.Add("a.jpg", "2021:01:01 10:00:00", false);
  by_date.Add("c.jpg", "2020:01:01 10:00:00", false);
  EXPECT_THAT(Take(by_date, 4), ElementsAre("b.jpg", "c.jpg", "a.jpg", "b.jpg"));
  by_date.Remove("a.jpg");
  by_date.Remove("b.jpg");
  by_date.Remove("c.jpg");
  EXPECT_TRUE(by_date.Empty());
  EXPECT_EQ(by_date.Next(), std::nullopt);
}

}  // namespace
}  // namespace slidesaver

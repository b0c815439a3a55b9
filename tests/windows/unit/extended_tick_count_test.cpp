// GetTickCount's 32-bit readings, counted on in 64 bits across its wraps.
#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "platform/win32/extended_tick_count.h"

namespace slidesaver::win32 {
namespace {

TEST(ExtendedTickCountTest, CountsOnAcrossEveryWrap) {
  ExtendedTickCount ticks(0xFFFFF000u);  // 4096 ms before the first wrap
  const std::vector<std::pair<uint32_t, int64_t>> readings = {
      {0xFFFFF000u, 0},
      {0xFFFFFFFFu, 4095},
      {0x00000010u, 4112},  // past the first wrap
      {0x80000000u, (int64_t{1} << 31) + 4096},
      {0xFFFFF000u, int64_t{1} << 32},
      {0x00001000u, (int64_t{1} << 32) + 8192},  // past the second
  };
  for (const auto& [reading, since] : readings) EXPECT_EQ(ticks.Since(reading), since) << reading;
}

}  // namespace
}  // namespace slidesaver::win32

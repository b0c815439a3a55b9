#pragma once
#include <cstdint>

namespace slidesaver {

// The never-seeded uniform generator of single-precision numbers in [0, 1):
// x <- (x * 1140671485 + 12820163) mod 2^24, from x = 327680; r = x / 2^24.
class Random {
 public:
  float Next() {
    state_ = (state_ * 1140671485u + 12820163u) & 0xFFFFFFu;
    return static_cast<float>(state_) / 16777216.0f;
  }

 private:
  uint32_t state_ = 327680;
};

}  // namespace slidesaver

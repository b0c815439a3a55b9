#pragma once
// GetTickCount counts milliseconds in 32 bits and wraps every 49.7 days, and GetTickCount64 is
// missing from Windows XP. From such 32-bit readings this counts the milliseconds since the
// first one in 64 bits: the step between two readings, taken modulo 2^32, is the time that
// passed, as long as the readings come less than 49.7 days apart.
#include <cstdint>

namespace slidesaver::win32 {

class ExtendedTickCount {
 public:
  explicit ExtendedTickCount(uint32_t first_reading) : last_(first_reading) {}

  // The milliseconds since the first reading, given the reading taken now.
  int64_t Since(uint32_t reading) {
    elapsed_ += static_cast<uint32_t>(reading - last_);
    last_ = reading;
    return elapsed_;
  }

 private:
  uint32_t last_;
  int64_t elapsed_ = 0;
};

}  // namespace slidesaver::win32
